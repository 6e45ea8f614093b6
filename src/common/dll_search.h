// Where the process may load its libraries from. Our Windows programs run
// with administrator rights from folders that others can write to (the
// download folder, the temporary folder), so before they load any DLL beyond
// the ones Windows always takes from its own folder they limit the search to
// System32. Every entry point calls this first.
#pragma once

void LimitDllSearchToSystem();

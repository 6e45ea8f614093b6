// mksetup extract's path rule on arbitrary stored names: a name it accepts
// becomes a path below the output folder, made of plain names only, and names
// that climb out, start at a root or a drive, or name a stream are refused.

#include <filesystem>

#include "extract_names.h"
#include "fuzz_support.h"

namespace {

namespace fs = std::filesystem;

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool HasDotDotPart(const std::u16string& name) {
    size_t start = 0;
    for (size_t i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !IsSeparator(name[i])) continue;
        if (name.compare(start, i - start, u"..") == 0 && i - start == 2) return true;
        start = i + 1;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fs::path folder = fs::path(fuzz::Scratch()) / "out";
    // One byte picks how the rest is read: UTF-16 code units, or one byte each.
    fuzz::Reader in(data, size);
    std::u16string stored;
    bool wide = in.Bool();
    std::vector<uint8_t> rest = in.Rest();
    if (wide) {
        stored = fuzz::WideFromBytes(rest);
    } else {
        for (uint8_t c : rest)
            if (c) stored.push_back(c);
    }
    std::vector<std::u16string> parts;
    std::string why;
    bool accepted = SafeEntryParts(stored, &parts, &why);
    if (!accepted) {
        fuzz::Check(!why.empty(), "a refusal without a reason");
        return 0;
    }
    fuzz::Check(!stored.empty() && !IsSeparator(stored[0]), "an empty or absolute name was accepted");
    fuzz::Check(stored.find(u':') == std::u16string::npos, "a drive or stream name was accepted");
    fuzz::Check(!HasDotDotPart(stored), "a name with a '..' part was accepted");
    fuzz::Check(!parts.empty(), "an accepted name without parts");
    for (const std::u16string& part : parts) fuzz::Check(fuzz::LooksPlain(part), "a part that is no plain name");
    fs::path target = EntryTarget(folder, parts);
    fs::path relative = target.lexically_normal().lexically_relative(folder);
    fuzz::Check(!relative.empty() && relative.is_relative(), "the target is not below the folder");
    for (const fs::path& piece : relative) fuzz::Check(piece != ".." && piece != ".", "the target climbs out of the folder");
    fuzz::Check(std::distance(relative.begin(), relative.end()) == static_cast<std::ptrdiff_t>(parts.size()),
                "the target has other parts than the name");
    return 0;
}

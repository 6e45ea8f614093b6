// Helper of the user-interface tests: a fresh installer state with a chosen
// text table for the length of one test.
#pragma once
#include "state/state.h"
#include "ui/texts.h"
#include "ui/window.h"

namespace uitest {

// gState points at a zeroed record while the object lives; the text table is
// chosen as start-up chooses it, from the language id given (0 = the platform's).
struct StateScope {
    explicit StateScope(uint16_t languageId = 0) {
        previous = gState;
        state = InstallerState{};
        gState = &state;
        SetDefaultLanguageOverride(languageId);
        SelectTextTable();
    }
    ~StateScope() {
        gState = previous;
        SetDefaultLanguageOverride(0);
    }
    StateScope(const StateScope&) = delete;
    StateScope& operator=(const StateScope&) = delete;

    InstallerState state;
    InstallerState* previous;
};

}  // namespace uitest

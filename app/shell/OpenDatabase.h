// The way the forms hand a data-layer command or read the state's open database.
#pragma once

#include <type_traits>
#include <utility>

#include "shell/AppState.h"
#include "store/Outcome.h"

namespace tw::shell {

// Runs command on the state's open database; without one, nothing runs and the outcome (of an
// Outcome, or of a Read) is NoDatabase.
template <class Command>
auto OnOpenDatabase(AppState& state, Command&& command) {
    using Result = std::invoke_result_t<Command, tw::db::Database&>;
    tw::db::Database* db = state.OpenDatabase();
    if (!db) {
        Result none{};
        if constexpr (std::is_same_v<Result, tw::store::Outcome>) {
            none = tw::store::Outcome::Failed(tw::store::Reason::NoDatabase);
        } else {
            none.outcome = tw::store::Outcome::Failed(tw::store::Reason::NoDatabase);
        }
        return none;
    }
    return std::forward<Command>(command)(*db);
}

}  // namespace tw::shell

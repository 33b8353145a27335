// How a form tells the reads that failed: once for each thing the user does. A click may run
// several reads (a form's opening reads its names, lists and the first entry's rows); the first
// failure among them is shown, the form's own way, when the handler the user started ends.
#pragma once

#include <functional>
#include <optional>
#include <utility>

#include "store/Outcome.h"

namespace tw::shell {

class ReadFailures {
  public:
    using Show = std::function<void(const tw::store::Outcome&)>;
    explicit ReadFailures(Show show) : show_(std::move(show)) {}
    ReadFailures(const ReadFailures&) = delete;
    ReadFailures& operator=(const ReadFailures&) = delete;

    // One thing the user does, for its life. Handlers that run each other nest; the outermost
    // one shows the first failure noted while it ran.
    class Action {
      public:
        explicit Action(ReadFailures& failures) : failures_(failures) { ++failures_.depth_; }
        ~Action() {
            if (--failures_.depth_ == 0) failures_.Tell();
        }
        Action(const Action&) = delete;
        Action& operator=(const Action&) = delete;

      private:
        ReadFailures& failures_;
    };

    // Notes a read's outcome; true when the read was done. Outside any action a failure is
    // shown at once.
    bool Note(const tw::store::Outcome& outcome) {
        if (outcome.Done()) return true;
        if (!first_) first_ = outcome;
        if (depth_ == 0) Tell();
        return false;
    }

    // The value of a read, its outcome noted.
    template <class T>
    T Value(tw::store::Read<T> read) {
        Note(read.outcome);
        return std::move(read.value);
    }

  private:
    void Tell() {
        if (!first_) return;
        const tw::store::Outcome failed = std::move(*first_);
        first_.reset();
        show_(failed);
    }

    Show show_;
    std::optional<tw::store::Outcome> first_;
    int depth_ = 0;
};

}  // namespace tw::shell

// A random source for the builder tests: hands out a scripted list of numbers, then a fixed
// value (0 unless set otherwise), and counts the draws.
#pragma once

#include <deque>
#include <memory>
#include <random>

#include "timetable/mdlBuildKb.h"

struct ScriptedRandom {
    struct State {
        std::deque<double> script;
        double after = 0.0;
        int draws = 0;
    };
    std::shared_ptr<State> state = std::make_shared<State>();

    explicit ScriptedRandom(std::deque<double> script = {}, double after = 0.0) {
        state->script = std::move(script);
        state->after = after;
    }
    tw::timetable::RandomSource Source() const {
        auto s = state;
        return [s] {
            ++s->draws;
            if (s->script.empty()) return s->after;
            double r = s->script.front();
            s->script.pop_front();
            return r;
        };
    }
};

// A seeded uniform source, for builds on generated schools.
inline tw::timetable::RandomSource SeededRandom(unsigned seed) {
    auto gen = std::make_shared<std::mt19937>(seed);
    return [gen] { return std::uniform_real_distribution<double>(0.0, 1.0)(*gen); };
}

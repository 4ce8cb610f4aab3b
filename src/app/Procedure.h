#pragma once
// The error convention of window and module procedures.
//
//   void frmStrategies::Form_Load()
//   {
//       Procedure proc("frmStrategies", "Form_Load");   // pushes on the call stack
//       TW_STEP(proc, buildMenus());                     // each step runs guarded
//       TW_STEP(proc, loadChain());
//   }                                                    // pops on every way out
//
// A step that fails asks the error handler what to do: Abort clears the call
// stack and leaves the procedure (no pop), Retry runs the step again, Ignore
// goes on with the next step. Nothing thrown inside a step leaves it, so no
// exception crosses a Qt event handler.

#include "app/TwError.h"

#include <QString>
#include <utility>

namespace tw {

class CErrorHandler;

// Writes the exception being handled to the trace log and standard error.
void reportShieldedFailure(const char* where) noexcept;

class Procedure {
public:
    Procedure(const char* object, const char* procedure);
    ~Procedure();
    Procedure(const Procedure&) = delete;
    Procedure& operator=(const Procedure&) = delete;

    // Runs one step; returns false when the user chose Abort (the caller must
    // then leave at once), true otherwise.
    template <class F>
    bool step(F&& body) noexcept
    {
        if (m_aborted)
            return false;
        for (;;) {
            try {
                std::forward<F>(body)();
                return true;
            } catch (...) {
                switch (answer()) {
                case 1: // retry
                    continue;
                case 2: // ignore
                    return true;
                default:
                    abort();
                    return false;
                }
            }
        }
    }

    bool aborted() const { return m_aborted; }
    const QString& name() const { return m_name; }

private:
    int answer() noexcept; // asks the error handler; only inside a catch
    void abort() noexcept;

    QString m_name;
    bool m_aborted = false;
};

// Runs the body of a handler that keeps no call stack (mouse-move, resize,
// layout, timer, window-message and transfer-event handlers): a failure is
// written to the trace log and the standard error stream, never thrown on.
template <class F>
void shielded(const char* where, F&& body) noexcept
{
    try {
        std::forward<F>(body)();
    } catch (...) {
        reportShieldedFailure(where);
    }
}

} // namespace tw

// Runs one statement of a procedure under its guard; leaves the enclosing
// function (returning nothing) when the user aborts.
#define TW_STEP(proc, ...)                                                                                             \
    do {                                                                                                               \
        if (!(proc).step([&]() { __VA_ARGS__; }))                                                                      \
            return;                                                                                                    \
    } while (0)

// The same for functions with a result: `result` is returned on abort.
#define TW_STEP_OR(proc, result, ...)                                                                                  \
    do {                                                                                                               \
        if (!(proc).step([&]() { __VA_ARGS__; }))                                                                      \
            return result;                                                                                             \
    } while (0)

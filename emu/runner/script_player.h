// Plays a key script into the running plug-in from an idle hook of the main
// loop: one step per idle turn, so each key reaches whatever modal loop is
// innermost at that moment, and deferred calls run between keys. A key that
// opens a nested modal window re-enters the hook from the nested loop, which
// simply goes on with the next step.
//
// When the steps are used up the player waits for quiet, writes the final
// dump and closes the plug-in's windows innermost first.
#pragma once
#include <cstddef>
#include <string>
#include <vector>
#include "emu/runner/exec_closer.h"
#include "emu/runner/key_script.h"
#include "emu/runner/runner_output.h"
#include "emu/runner/wait_deadline.h"

namespace runner {

// Exit codes of the runner's own failures during a run.
enum ExitCode { kExitSetup = 3, kExitWaitTimeout = 4 };

// Writes "lumenhost: message" to stderr and leaves the process at once.
[[noreturn]] void fatalExit(DumpOutput& dump, const std::string& message, int code);

class ScriptPlayer {
public:
    // `shots` may be null when the script has no shot step.
    ScriptPlayer(std::vector<ScriptStep> steps, int waitTimeoutSeconds, DumpOutput& dump,
                 ShotDirectory* shots);
    ~ScriptPlayer();
    ScriptPlayer(const ScriptPlayer&) = delete;
    ScriptPlayer& operator=(const ScriptPlayer&) = delete;

    void start();  // installs the idle hook
    // True once the script has ended and the player began closing windows.
    bool endedScript() const { return phase == Phase::Closing; }
    size_t stepsLeft() const { return steps.size() - next; }

private:
    enum class Phase { Playing, Settling, Closing };
    bool onIdle();
    bool waitForQuiet();  // true once quiet; starts the deadline on first call
    void perform(const ScriptStep& step);

    std::vector<ScriptStep> steps;
    size_t next = 0;
    Phase phase = Phase::Playing;
    int waitTimeoutSeconds;
    DumpOutput& dump;
    ShotDirectory* shots;
    WaitDeadline deadline;
    ExecCloser closer;
    int idleHook = 0;
};

}  // namespace runner

#include "emu/runner/script_player.h"
#include <unistd.h>
#include <cstdio>
#include "emu/mainloop.h"
#include "emu/screen.h"

namespace runner {

void fatalExit(DumpOutput& dump, const std::string& message, int code) {
    dump.flush();
    fflush(stdout);
    fprintf(stderr, "lumenhost: %s\n", message.c_str());
    fflush(stderr);
    _exit(code);  // the plug-in is mid-run: nothing can be unwound safely
}

ScriptPlayer::ScriptPlayer(std::vector<ScriptStep> steps, int waitTimeoutSeconds, DumpOutput& dump,
                           ShotDirectory* shots)
    : steps(std::move(steps)), waitTimeoutSeconds(waitTimeoutSeconds), dump(dump), shots(shots) {}

ScriptPlayer::~ScriptPlayer() {
    if (idleHook) mainloop().removeIdle(idleHook);
}

void ScriptPlayer::start() {
    idleHook = mainloop().addIdle([this] { return onIdle(); });
}

bool ScriptPlayer::waitForQuiet() {
    eMainloop& loop = mainloop();
    if (loop.busyCount() == 0 && !loop.hasQueuedWork()) {
        deadline.stop();
        return true;
    }
    if (!deadline.running()) {
        deadline.start(waitTimeoutSeconds, [this] {
            dump.writeScreen();  // what the screen showed, for the reader of the failure
            fatalExit(dump,
                      "wait timed out after " + std::to_string(waitTimeoutSeconds) + " s (" +
                          std::to_string(mainloop().busyCount()) + " transfers running" +
                          (mainloop().hasQueuedWork() ? ", work queued)" : ")"),
                      kExitWaitTimeout);
        });
    }
    return false;  // the loop sleeps until activity
}

void ScriptPlayer::perform(const ScriptStep& step) {
    switch (step.kind) {
    case ScriptStep::Kind::Key: emu::deliverKey(step.code); break;
    case ScriptStep::Kind::Text: emu::deliverText(step.text); break;
    case ScriptStep::Kind::Dump: dump.writeScreen(); break;
    case ScriptStep::Kind::Shot:
        if (!shots || !shots->isOpen()) fatalExit(dump, "a shot step needs --shots DIR", kExitSetup);
        if (!emu::writeScreenshot(shots->nextPath()))
            fatalExit(dump, "cannot write the screenshot " + shots->lastName(), kExitSetup);
        break;
    case ScriptStep::Kind::Wait: break;  // handled by onIdle
    }
}

bool ScriptPlayer::onIdle() {
    switch (phase) {
    case Phase::Playing: {
        if (next == steps.size()) {
            phase = Phase::Settling;
            return true;
        }
        if (steps[next].kind == ScriptStep::Kind::Wait) {
            if (!waitForQuiet()) return false;
            ++next;
            return true;
        }
        // Advance first: the step may run a nested loop that calls us again.
        const ScriptStep step = steps[next++];
        perform(step);
        return true;
    }
    case Phase::Settling:
        if (!waitForQuiet()) return false;
        dump.writeScreen();
        phase = Phase::Closing;
        return true;
    case Phase::Closing:
        if (closer.closeInnermost()) return true;
        if (closer.exhausted())
            fatalExit(dump, "the plug-in keeps opening windows; giving up closing them", kExitSetup);
        return false;
    }
    return false;
}

}  // namespace runner

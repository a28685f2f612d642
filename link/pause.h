#pragma once

namespace quillet {

// Every fixed pause of the protocol goes through here, so tests can see them without sleeping.
void pause(int milliseconds);

using PauseHook = void (*)(int milliseconds);

// Replaces the pause; nullptr restores the real sleep. Returns the previous hook.
PauseHook setPauseHook(PauseHook hook);

}  // namespace quillet

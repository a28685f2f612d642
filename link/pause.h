#pragma once

namespace quillet {

// Every fixed pause of the protocol goes through here, so tests can see them without sleeping.
void pause(int milliseconds);

}  // namespace quillet

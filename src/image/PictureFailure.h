#pragma once
// Why the last picture load on this thread failed, in the decoder's words
// ("BMP pixel data short: 12 of 4000 bytes"), so that the game can tell a
// damaged file from a missing one. Like errno: each reader sets it where it
// refuses a file; CSoftPlaneImpl::Load clears it first.
#include <string>

// The reason of the last failure on this thread; empty when none was given.
const std::string& LastPictureFailure();
// Records the reason (the readers call it on every refusal).
void SetPictureFailure(std::string reason);
// Forgets the reason.
void ClearPictureFailure();

#include "image/PictureFailure.h"

namespace {

thread_local std::string tReason;

}  // namespace

const std::string& LastPictureFailure() { return tReason; }

void SetPictureFailure(std::string reason) { tReason = std::move(reason); }

void ClearPictureFailure() { tReason.clear(); }

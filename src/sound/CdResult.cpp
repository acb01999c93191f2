#include "sound/CdResult.h"

const char* ToString(CdOpenResult result)
{
    switch (result) {
    case kCdOpened: return "opened";
    case kCdNoDevice: return "no CD device or image";
    case kCdBadTrackCount: return "no tracks or more than 99";
    }
    return "unknown";
}

const char* ToString(CdPlayResult result)
{
    switch (result) {
    case kCdPlaying: return "playing";
    case kCdPlayNotOpen: return "the CD does not open";
    case kCdPlayBadTracks: return "no such tracks";
    case kCdPlayFailed: return "the device refused to play";
    }
    return "unknown";
}

const char* ToString(CdPlayRangeResult result)
{
    switch (result) {
    case kCdRangePlaying: return "playing";
    case kCdRangeNotOpen: return "the CD is not open";
    case kCdRangeFailed: return "the device refused to play";
    }
    return "unknown";
}

const char* ToString(CdStopResult result)
{
    switch (result) {
    case kCdStopped: return "stopped";
    case kCdStopNotOpen: return "the CD is not open";
    case kCdStopNotPlaying: return "nothing is playing";
    }
    return "unknown";
}

#pragma once
// What the CD audio operations return. The numbers are each operation's own
// codes (a 2 means something else for Open than for Stop), so every operation
// has its own enum; the values convert to int for callers that only test
// for 0.

// CCDDA::Open.
enum CdOpenResult : int {
    kCdOpened = 0,
    kCdNoDevice = 1,        // the drive or image did not open (retried once)
    kCdBadTrackCount = 2,   // no tracks or more than 99: the device is closed again
};

// CCDDA::Play (tracks from..to).
enum CdPlayResult : int {
    kCdPlaying = 0,
    kCdPlayNotOpen = 1,     // not open, and opening again failed
    kCdPlayBadTracks = 2,   // from < 1, from > to or to past the last track
    kCdPlayFailed = 3,      // the device refused the range
};

// CCDDA::PlayDW (packed positions).
enum CdPlayRangeResult : int {
    kCdRangePlaying = 0,    // also for an empty range: nothing done
    kCdRangeNotOpen = 1,
    kCdRangeFailed = 2,
};

// CCDDA::Stop and CCDDA::Close.
enum CdStopResult : int {
    kCdStopped = 0,
    kCdStopNotOpen = 1,
    kCdStopNotPlaying = 2,  // Stop only
};

const char* ToString(CdOpenResult result);
const char* ToString(CdPlayResult result);
const char* ToString(CdPlayRangeResult result);
const char* ToString(CdStopResult result);

#pragma once

// mpv's property, option and command names, written once.
namespace vantelo::mpv_names {

inline constexpr const char* kPause = "pause";
inline constexpr const char* kMute = "mute";
inline constexpr const char* kVolume = "volume";
inline constexpr const char* kVideoUnscaled = "video-unscaled";
inline constexpr const char* kPausedForCache = "paused-for-cache";
inline constexpr const char* kCacheBufferingState = "cache-buffering-state";
inline constexpr const char* kTimePos = "time-pos";
inline constexpr const char* kVideoWidth = "video-params/w";
inline constexpr const char* kVideoHeight = "video-params/h";

inline constexpr const char* kLoadFile = "loadfile";
inline constexpr const char* kStop = "stop";

}  // namespace vantelo::mpv_names

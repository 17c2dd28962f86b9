#pragma once

namespace quorvex {

inline constexpr const char *programVersion = "1.6.0.0";
// What --version prints: the release the build and the Debian package carry.
#ifdef QUORVEX_RELEASE
inline constexpr const char *releaseVersion = QUORVEX_RELEASE;
#else
inline constexpr const char *releaseVersion = "1.6.0";
#endif
inline constexpr const char *productName = "Quorvex";
inline constexpr const char *listFileMagic = "QuorvexListFile";
inline constexpr const char *listTagV10 = "version1.0";
inline constexpr const char *listTagV11 = "_ListVersion1.1";
inline constexpr const char *listTagV12 = "_ListVers1.2Dep";
inline constexpr char attachmentMarker = '\x01';

// Type byte of an attachment reference.
enum AttachmentType : char {
    AttachPicture = '\x01',
    AttachAudio = '\x02',
    AttachVideo = '\x03',
    AttachFile = '\x04',
    AttachWebPage = '\x05',
};

// Results of routines that can fail.
enum RoutineResult : int {
    ResultOk = 0,
    ResultFailed = 1,
    ResultSkipped = 5,
    ResultAborted = 10,
};

} // namespace quorvex

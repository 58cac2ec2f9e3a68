#pragma once
// The engine's numbered messages (10101 … 11047) and their fixed texts. Callers report them through
// TZipEngine::ShowZipMessage or raise them as EZipEngine; the numbers are what the backup runner and the
// viewer compare against, so they never change.
#include <string>

namespace vpk::zipmsg {

inline constexpr int kLibraryAbortZip = 10101;
inline constexpr int kNoZipFile = 10102;
inline constexpr int kOutOfMemory = 10103;
inline constexpr int kNoPasswordAdding = 10150;
inline constexpr int kNoPasswordExtracting = 10151;
inline constexpr int kListSeekError = 10201;
inline constexpr int kListUnknownError = 10202;
inline constexpr int kStructureWarning = 10203;
inline constexpr int kGarbageWarning = 10204;
inline constexpr int kNoFilesToZip = 10301;
inline constexpr int kUnattendedNoPassword = 10302;
inline constexpr int kAutoSfxFailed = 10304;
inline constexpr int kNoFilesToDelete = 10401;
inline constexpr int kLibraryAbortUnz = 10501;
inline constexpr int kUnattendedExtract = 10502;
inline constexpr int kZipLoaded = 10601;
inline constexpr int kZipExecMissing = 10602;
inline constexpr int kZipVersionMissing = 10603;
inline constexpr int kZipNotFound = 10604;
inline constexpr int kUnzLoaded = 10701;
inline constexpr int kUnzExecMissing = 10702;
inline constexpr int kUnzVersionMissing = 10703;
inline constexpr int kUnzNotFound = 10704;
inline constexpr int kSfxTextTooLong = 10801;
inline constexpr int kSfxStubNotFound = 10802;
inline constexpr int kSfxNotZip = 10803;
inline constexpr int kPlainNoExe = 10901;
inline constexpr int kPlainNotExe = 10902;
inline constexpr int kPlainSfxType = 10903;
inline constexpr int kInputMissing = 11001;
inline constexpr int kCannotOpen = 11002;
inline constexpr int kInvalidDrive = 11003;
inline constexpr int kDriveUndefined = 11004;
inline constexpr int kUserCanceled = 11007;
inline constexpr int kSeekError = 11008;
inline constexpr int kCreateOutputFailed = 11009;
inline constexpr int kWriteError = 11010;
inline constexpr int kEndRecordReadError = 11011;
inline constexpr int kLocalHeaderReadError = 11012;
inline constexpr int kCentralHeaderReadError = 11013;
inline constexpr int kLocalSignatureWrong = 11014;
inline constexpr int kCentralSignatureWrong = 11015;
inline constexpr int kLocalNameReadError = 11016;
inline constexpr int kCentralNameReadError = 11017;
inline constexpr int kLocalExtraReadError = 11018;
inline constexpr int kCentralExtraReadError = 11019;
inline constexpr int kDataDescriptorError = 11020;
inline constexpr int kZippedDataReadError = 11021;
inline constexpr int kFileCommentReadError = 11022;
inline constexpr int kArchiveCommentReadError = 11023;
inline constexpr int kSpanUnknownError = 11024;
inline constexpr int kUnattendedSpanning = 11025;
inline constexpr int kLocalNotInTable = 11026;
inline constexpr int kTempFileFailed = 11027;
inline constexpr int kLocalHeaderWriteError = 11028;
inline constexpr int kCentralHeaderWriteError = 11029;
inline constexpr int kEndRecordWriteError = 11030;
inline constexpr int kSpanMarkerWrong = 11031;
inline constexpr int kNotAZipArchive = 11036;
inline constexpr int kFirstDiskOfSet = 11037;
inline constexpr int kNthDiskOfSet = 11038;
inline constexpr int kFirstFileOfSet = 11045;
inline constexpr int kDirectoryOutsideArchive = 11047;

// The text of a message number; a number the table does not hold gives the text saying so, with the
// number, so a missing entry never shows as an empty box.
std::string ZipMessageText(int id);
// True when the table holds the number.
bool HasZipMessage(int id);

}  // namespace vpk::zipmsg

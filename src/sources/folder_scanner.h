// The folder source: a depth-first walk over a folder tree that hands every file to a step,
// and the step that keeps the audio files as TrackEntry objects of ListDb.
#pragma once

#include "platform/folder_listing.h"
#include "store/track_list.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace store {
class TfdbObject;
}

namespace sources {

// The extensions the folder source takes, with their dot, in lower case, in compare order: the
// classic sixteen, then the lossless and newer lossy formats that libraries hold today.
inline constexpr std::array<std::string_view, 23> AudioExtensions = {
    ".aif", ".aifc", ".aiff", ".ac3", ".au",   ".kar", ".mid", ".midi", ".rmi", ".mp2", ".mp3", ".mpa",
    ".ogg", ".snd",  ".wav",  ".wma", ".flac", ".m4a", ".aac", ".opus", ".oga", ".ape", ".wv"};

// One file of the walk: its path below the starting folder, beginning with "\" ("\a.mp3",
// "\Sub\b.mp3"), and its entry in the folder listing (name, size, hidden, time).
using FolderFileStep =
    std::function<void(const std::string& relativePath, const platform::FolderEntry& entry)>;

// Walks the tree under `startFolder` (a program path; trailing "\" ignored, so "D:\" is the
// drive's root) in pre-order: a folder's own files, hidden ones included, in listing order
// (by name without regard to case), then each of its sub-folders, finished down to its
// deepest level before the next one starts. Hidden sub-folders are not entered; a hidden
// starting folder is walked. A folder reached again through a link (a loop, or a second link
// to it) is not entered again. A starting folder that is missing gives no files and no word.
// A folder that cannot be listed (no access, a path longer than the host opens) contributes no
// files, and a file whose host path is longer than the host opens (platform::MaxHostPathBytes)
// is left out; each is handed to `leftOut` (when set) with the reason in words, in the walk's
// order, and the walk goes on. Paths are never cut, however deep the tree.
// `fileName` (when set) keeps only the files whose name it accepts; the others are left out of
// the listings, without a stat where the folder tells that they are files. The folders are
// listed on a thread of the walk's own, so `fileName` is called there; `step` is called on the
// caller's thread, in the walk's order. An exception of either ends the walk and reaches the
// caller.
// `leftOut` is called on the caller's thread too, with the path below the starting folder as
// `step` gets it ("" for the starting folder itself).
using FileNameFilter = std::function<bool(std::string_view name)>;
using LeftOutStep = std::function<void(const std::string& relativePath, const std::string& reason)>;
void ScanFolder(std::string_view startFolder, const FolderFileStep& step, const FileNameFilter& fileName = {},
                const LeftOutStep& leftOut = {});

// The extension of a path: from its last "." to the end when no "\" or ":" follows that
// ".", in lower case; "" otherwise.
std::string fileExtensionOf(std::string_view path);

// Whether the extension of `path` is one of AudioExtensions: the folder source's file filter.
bool isAudioFile(std::string_view path);

// The program path of a file of the walk: CollapseBackslashes(sourceFolder + "\" +
// relativePath, 3), `sourceFolder` as the user typed it.
std::string folderFilePath(std::string_view sourceFolder, const std::string& relativePath);

// The folder source's step: when the extension of `relativePath` is in AudioExtensions,
// appends a TrackEntry with OrigFileName = folderFilePath(sourceFolder, relativePath), empty
// FileName and Desc, and Size = the entry's listed size in bytes (no file is opened). A refused
// object is left out silently. True when an entry was appended.
bool AddFolderFile(store::TfdbObject& listDb, std::string_view sourceFolder, const std::string& relativePath,
                   const platform::FolderEntry& entry);
// The entry AddFolderFile appends, whatever its extension.
store::TrackEntry folderTrackEntry(std::string_view sourceFolder, const std::string& relativePath,
                                   const platform::FolderEntry& entry);

} // namespace sources

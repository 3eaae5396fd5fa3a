// What the destination volume will refuse of the track list, told before anything is copied,
// and the names that the run writes there instead.
//
// A stick, a memory card or a player is mostly FAT32 or exFAT: it holds no file of 4 GiB or
// more (FAT32), refuses names that a Linux folder takes ("a:b.mp3", "CON.mp3", "Track."), and
// takes "A.mp3" and "a.mp3" for one file. The check looks at every entry against the facts of
// the volume (platform/volume_facts.h); the preview marks the rows it finds, the command-line
// front end prints them. The run then writes each name that the volume refuses cleaned, by the
// user's treatment of invalid characters and platform::fitNameToVolume, and does not attempt a
// file that is too big.
#pragma once

#include "plan/naming.h"
#include "platform/volume_facts.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace store {
class TfdbObject;
}

namespace plan {

// "FAT32", "exFAT", "NTFS", or the type that the mount table gives.
std::string volumeName(const platform::VolumeFacts& facts);

// Why a file of `size` bytes is not copied onto the volume: its size and the volume's largest,
// in bytes, since they differ by little against the gigabytes of both ("4294967296 байт при
// наибольших 4294967295").
std::string tooBigText(const platform::VolumeFacts& facts, int64_t size);

// The name that `planned` (a FileName: the destination folder, then the parts below it) gets on
// the volume: each part below `destFolder` with the characters that the volume refuses treated
// by `action` (control characters too), then fitted to the volume (trailing dots and blanks
// dropped, "_" after a device name, the length cut) and to the 255 bytes that the host's file
// systems allow a name whatever the volume counts (a FAT volume counts 255 UTF-16 units, and a
// name of 150 Cyrillic letters is 300 bytes). `planned` when both take it as it is.
// The folder itself is the user's choice and is never touched.
std::string plannedNameOnVolume(const platform::VolumeFacts& facts, std::string_view planned,
                                std::string_view destFolder, InvalidCharAction action);

// Whether one name (of a file or folder) is taken as it is: by the volume's rules and by the
// 255 bytes of a host name.
bool volumeTakesName(const platform::VolumeFacts& facts, std::string_view name);

enum class VolumeProblemKind {
    TooBig,      // larger than the volume's largest file: the run does not attempt it
    NameRefused, // the run writes it under plannedNameOnVolume
    CaseClash,   // differs only in letter case from another entry or a file that is there
};

struct VolumeProblem {
    int position = 0; // of the entry in "list"
    VolumeProblemKind kind = VolumeProblemKind::NameRefused;
    std::string text; // why, in the interface's words: a row's tooltip, the reason column
};

// Every problem of the entries of "list" in `listDb` on the volume of `facts`, in list order
// (an entry may have more than one). Entries without a measured Size are measured when the
// volume limits the size of a file. Files that stand in the destination folders are looked at
// once per folder, for names that differ only in case.
std::vector<VolumeProblem> checkListForVolume(store::TfdbObject& listDb, const platform::VolumeFacts& facts,
                                              std::string_view destFolder, InvalidCharAction action);

// How many entries have a problem: 0 for none.
int entriesWithProblems(const std::vector<VolumeProblem>& problems);

// The line under the list: "Не подходят для тома FAT32 как есть: 3 из 120 (причина - в подсказке
// отмеченной строки)"; "" when no entry has a problem.
std::string volumeCheckLine(const platform::VolumeFacts& facts, const std::vector<VolumeProblem>& problems,
                            int entryCount);

// The sizes that the volume will really take: each Size above 0 rounded up to the allocation unit.
int64_t listedTotalOnVolume(store::TfdbObject& listDb, int64_t allocationUnit);

} // namespace plan

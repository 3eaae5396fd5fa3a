// What a copy run is asked to do: the transfer mode, the existing-file policy, the result
// playlist, the destination folder and the checks, as the wizard's controls or the command line
// give them. Kept apart from the run itself so that a header that passes the options around
// does not pull in the run.
#pragma once

#include "convert/conversion_choice.h"
#include "copy/existing_file_policy.h"
#include "plan/naming.h"
#include "plan/resolved_dest.h"

#include <optional>
#include <string>

namespace copy {

enum TransferMode : int { TransferOwnCopy = 0, TransferSystemCopy = 1, TransferSystemMove = 2 };

// How the result playlist names its files: relative to its own folder with "/" separators, so
// that it keeps working wherever the destination is mounted or read, or as absolute host paths.
enum class PlaylistPaths { Relative, Absolute };

// The mode of a RadioGroup1 index. An index outside the group (a damaged setting shows no
// selection) is the default, the system copy: a run that transfers nothing would still end
// "completed".
TransferMode transferModeFromIndex(int index);

// The controls of the wizard that a run reads; the window converts its indexes once, here.
struct CopyOptions {
    copy::TransferMode TransferMode = TransferSystemCopy; // RadioGroup1
    copy::ExistAction ExistAction = ExistRename;          // cbExistAction
    bool CreateList = true;                               // chCreateList: write the result playlist
    std::string DestFolder;                               // cbDest
    // The destination as the preview resolved it; when given, the run takes its folder and its
    // volume's facts from here and resolves nothing again (DestFolder is then not read).
    std::optional<plan::ResolvedDest> Dest{};
    copy::PlaylistPaths PlaylistPaths = PlaylistPaths::Relative; // chAbsoluteList
    // How a name that the destination volume refuses is cleaned (cb5, as for invalid names).
    plan::InvalidCharAction InvalidChars = plan::InvalidCharAction::Delete;
    // Flush what the run wrote to the device before its closing line, also on a volume that is
    // neither removable nor slow (it always is on those).
    bool FlushAlways = false;
    // Read each copy back after it is written and compare it with its source.
    bool Verify = false;
    // "Преобразовать": the entries it converts are encoded into the destination (under the
    // names the naming rules gave them) instead of copied; the rest are copied as they are.
    convert::ConversionChoice Conversion{};
};

} // namespace copy

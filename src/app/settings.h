// The settings the window keeps in "conf.fdb", as plain values, and their way into and out of
// the settings store. No Qt: the window copies its controls into SettingsValues and back.
//
// Keys (store paths from the root): the string lists "Source1", "Source2", "Dest" and
// "SizeLimit" (a directory whose linked text items are the entries, newest first), and the
// single values "CreateList", "cb2", "cb3", "cb4", "cbDiv" (booleans), "seDiv", "cb5",
// "cbAutoSizeLimit" (boolean), "cbExistAction" and "RG2" (32-bit integers), "AbsoluteList"
// (boolean: the result playlist names its files by absolute host paths), "Verify" (boolean: each
// copy read back and compared with its source) and "Drives" (text:
// drives added to the drive table for playlists made on other machines, "D:=/mnt/old;E:=/media/x",
// platform/drive_mappings.h), "WindowGeometry" (text: the window's place and size) and
// "PreviewColumns" (text: the widths of the preview's columns), "ReadTags" (boolean: the
// source's files are read for tags), "DescriptionFormat" (text: the description made from them)
// and "TagsWin" (boolean: the tags' description takes the place of a playlist's too); the
// conversion: "Convert" (text: the format as convert::formatText spells it, "mp3:v2", or ""
// for none), "ConvertWhich" (32-bit integer: 0 all files, 1 only what the device does not
// play), "ConvertDevice" (32-bit integer: 0 car stereo, 1 phone, 2 own formats),
// "ConvertFormats" (text: the own formats as typed) and "ConvertJobs" (32-bit integer:
// conversions at once, 0 for one per processor core).
// Store errors are not reported: a value that cannot be read takes its default, a list
// whose directory cannot be made is not written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace store {
class TfdbObject;
}

namespace app {

struct SettingsValues {
    std::vector<std::string> Source1;   // playlist history (cbSource1)
    std::vector<std::string> Source2;   // source folder history (cbSource2)
    std::vector<std::string> Dest;      // destination folder history (cbDest)
    std::vector<std::string> SizeLimit; // size limits in Mb (cbSizeLimit)
    bool CreateList = true;
    bool cb2 = false;
    bool cb3 = false;
    bool cb4 = false;
    bool cbDiv = true;
    int32_t seDiv = 1;
    int32_t cb5 = 0; // selected index; -1 = none
    bool cbAutoSizeLimit = true;
    int32_t cbExistAction = 1; // selected index; -1 = none
    int32_t RG2 = 1;           // the source kind
    bool AbsoluteList = false; // chAbsoluteList
    bool Verify = false;       // chVerify
    bool Flush = false;        // chFlush
    std::string Drives;        // kept as read; the window mounts them at start-up
    // The window's place and size as "x,y,width,height" in logical pixels; "" before the
    // first close. Taken again at start-up only where it lies on a screen.
    std::string WindowGeometry;
    // The widths of the preview's columns as "w1,w2,..." in logical pixels; "" before the first
    // close.
    std::string PreviewColumns;
    // Whether a build reads the files' tags, and how a description is made from them.
    bool ReadTags = true;
    bool TagsWin = false;
    std::string DescriptionFormat = "%artist% - %title%";
    // The conversion group; the window takes a value that names nothing as its default.
    std::string Convert;
    int32_t ConvertWhich = 0;
    int32_t ConvertDevice = 0;
    std::string ConvertFormats;
    int32_t ConvertJobs = 0;
};

// Reads every key in the window's start-up order. `current` holds the controls' state at
// the moment of reading, which is the default of each single value; "cb5" and
// "cbExistAction" default to 0 and 1 whatever the controls show. The directories "Source1",
// "Source2" and "Dest" are made when missing.
SettingsValues readSettings(store::TfdbObject& conf, const SettingsValues& current);
// Writes every key in the window's closing order; the caller saves the store.
void writeSettings(store::TfdbObject& conf, const SettingsValues& values);

} // namespace app

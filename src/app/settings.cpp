#include "app/settings.h"

#include "store/object_model.h"

namespace app {

namespace {

bool readBool(store::TDSystem& paths, const char* key, bool current) {
    store::StoreValue value;
    paths.ReadValue(key, store::StoreValue::fromBool(current), value);
    return value.toBool();
}

int32_t readInt(store::TDSystem& paths, const char* key, int32_t current) {
    store::StoreValue value;
    paths.ReadValue(key, store::StoreValue::fromInt32(current), value);
    return value.toInt32();
}

std::string readText(store::TDSystem& paths, const char* key, const std::string& current) {
    store::StoreValue value;
    paths.ReadValue(key, store::StoreValue::fromText(current), value);
    return value.toText();
}

} // namespace

SettingsValues readSettings(store::TfdbObject& conf, const SettingsValues& current) {
    store::TDSystem& paths = conf.DSystem;
    store::TUtils& lists = conf.Utils;
    SettingsValues values = current;

    paths.ForceDir("Source1");
    lists.LoadListFromPath("Source1", values.Source1);
    paths.ForceDir("Source2");
    lists.LoadListFromPath("Source2", values.Source2);
    paths.ForceDir("Dest");
    lists.LoadListFromPath("Dest", values.Dest);
    lists.LoadListFromPath("SizeLimit", values.SizeLimit);

    values.CreateList = readBool(paths, "CreateList", current.CreateList);
    values.cb2 = readBool(paths, "cb2", current.cb2);
    values.cb3 = readBool(paths, "cb3", current.cb3);
    values.cb4 = readBool(paths, "cb4", current.cb4);
    values.cbDiv = readBool(paths, "cbDiv", current.cbDiv);
    values.seDiv = readInt(paths, "seDiv", current.seDiv);
    values.cb5 = readInt(paths, "cb5", 0);
    values.cbExistAction = readInt(paths, "cbExistAction", 1);
    values.cbAutoSizeLimit = readBool(paths, "cbAutoSizeLimit", current.cbAutoSizeLimit);
    values.RG2 = readInt(paths, "RG2", current.RG2);
    values.AbsoluteList = readBool(paths, "AbsoluteList", current.AbsoluteList);
    values.Verify = readBool(paths, "Verify", current.Verify);
    values.Flush = readBool(paths, "Flush", current.Flush);
    values.Drives = readText(paths, "Drives", current.Drives);
    values.WindowGeometry = readText(paths, "WindowGeometry", current.WindowGeometry);
    values.PreviewColumns = readText(paths, "PreviewColumns", current.PreviewColumns);
    values.ReadTags = readBool(paths, "ReadTags", current.ReadTags);
    values.TagsWin = readBool(paths, "TagsWin", current.TagsWin);
    values.DescriptionFormat = readText(paths, "DescriptionFormat", current.DescriptionFormat);
    values.Convert = readText(paths, "Convert", current.Convert);
    values.ConvertWhich = readInt(paths, "ConvertWhich", current.ConvertWhich);
    values.ConvertDevice = readInt(paths, "ConvertDevice", current.ConvertDevice);
    values.ConvertFormats = readText(paths, "ConvertFormats", current.ConvertFormats);
    values.ConvertJobs = readInt(paths, "ConvertJobs", current.ConvertJobs);
    return values;
}

void writeSettings(store::TfdbObject& conf, const SettingsValues& values) {
    store::TDSystem& paths = conf.DSystem;
    store::TUtils& lists = conf.Utils;
    lists.SaveListToPath("Source1", values.Source1);
    lists.SaveListToPath("Source2", values.Source2);
    lists.SaveListToPath("Dest", values.Dest);
    lists.SaveListToPath("SizeLimit", values.SizeLimit);

    using store::StoreValue;
    paths.WriteValue("CreateList", StoreValue::fromBool(values.CreateList));
    paths.WriteValue("cb2", StoreValue::fromBool(values.cb2));
    paths.WriteValue("cb3", StoreValue::fromBool(values.cb3));
    paths.WriteValue("cb4", StoreValue::fromBool(values.cb4));
    paths.WriteValue("cbDiv", StoreValue::fromBool(values.cbDiv));
    paths.WriteValue("seDiv", StoreValue::fromInt32(values.seDiv));
    paths.WriteValue("cb5", StoreValue::fromInt32(values.cb5));
    paths.WriteValue("cbAutoSizeLimit", StoreValue::fromBool(values.cbAutoSizeLimit));
    paths.WriteValue("cbExistAction", StoreValue::fromInt32(values.cbExistAction));
    paths.WriteValue("RG2", StoreValue::fromInt32(values.RG2));
    paths.WriteValue("AbsoluteList", StoreValue::fromBool(values.AbsoluteList));
    paths.WriteValue("Verify", StoreValue::fromBool(values.Verify));
    paths.WriteValue("Flush", StoreValue::fromBool(values.Flush));
    paths.WriteValue("Drives", StoreValue::fromText(values.Drives));
    paths.WriteValue("WindowGeometry", StoreValue::fromText(values.WindowGeometry));
    paths.WriteValue("PreviewColumns", StoreValue::fromText(values.PreviewColumns));
    paths.WriteValue("ReadTags", StoreValue::fromBool(values.ReadTags));
    paths.WriteValue("TagsWin", StoreValue::fromBool(values.TagsWin));
    paths.WriteValue("DescriptionFormat", StoreValue::fromText(values.DescriptionFormat));
    paths.WriteValue("Convert", StoreValue::fromText(values.Convert));
    paths.WriteValue("ConvertWhich", StoreValue::fromInt32(values.ConvertWhich));
    paths.WriteValue("ConvertDevice", StoreValue::fromInt32(values.ConvertDevice));
    paths.WriteValue("ConvertFormats", StoreValue::fromText(values.ConvertFormats));
    paths.WriteValue("ConvertJobs", StoreValue::fromInt32(values.ConvertJobs));
}

} // namespace app

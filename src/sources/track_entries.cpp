#include "sources/track_entries.h"

#include "store/object_model.h"

namespace sources {

TrackListAppender::TrackListAppender(store::TfdbObject& listDb)
    : m_listDb(listDb), m_mask(listDb.DSystem.ItemByPath("item")->Index), m_list(listDb.DSystem.ItemByPath("list")) {}

TrackListAppender::~TrackListAppender() = default;

bool TrackListAppender::listFound() const { return m_list->Index > 0; }

bool TrackListAppender::append(const NewTrackEntry& entry) {
    using store::StoreValue;
    int number = 0;
    // Without a list nothing could hold the object, so none is made.
    if (!listFound() || m_listDb.CreateObject(m_mask, number, 0) > 0) {
        return false;
    }
    store::TfdbItemAsObject& object = m_listDb.Item(number).AsObject;
    object.FieldByName(OrigFileNameField).SetValue(StoreValue::fromText(entry.origFileName));
    object.FieldByName(FileNameField).SetValue(StoreValue::fromText(""));
    object.FieldByName(DescField).SetValue(StoreValue::fromText(entry.desc));
    object.FieldByName(SizeField).SetValue(entry.size == SizeNotMeasured ? StoreValue::fromInt8(-1)
                                                                         : StoreValue::fromInt64(entry.size));
    if (entry.len) {
        object.FieldByName(LenField).SetValue(StoreValue::fromInt32(*entry.len));
    }
    m_list->AsTLinks.Add(number);
    return true;
}

} // namespace sources

// Item references and their views: every call acts on the reference's current Index.
#include "store/object_model.h"

namespace store {

TfdbItem::TfdbItem(TfdbObject& owner, int index) : Owner(owner), Index(index) {}

void TfdbItem::SetValue(const StoreValue& value) {
    if (Index > 0) {
        fdb_vSet(Owner.Handle, Index, value, -1);
    }
}

void TfdbItem::GetValue(StoreValue& value) {
    if (Index >= 0) {
        fdb_vGet(Owner.Handle, Index, value, 0);
    }
}

int TfdbItem::IntValue() {
    return fdb_iGet(Owner.Handle, Index);
}

void TfdbItem::Delete(int mode) {
    fdb_DeleteEx(Owner.Handle, Index, mode);
}

void TfdbItem::AddToList(int list) {
    fdb_tlAdd(Owner.Handle, list, Index);
}

void TfdbItemAsString::SetStr(const std::string& text) {
    fdb_sSet(m_ref->Owner.Handle, m_ref->Index, text);
}

int TfdbItemAsString::GetStr(std::string& text) {
    return fdb_sGet(m_ref->Owner.Handle, m_ref->Index, text);
}

int TfdbItemAsTLinks::Count() {
    return fdb_tlCount(m_ref->Owner.Handle, m_ref->Index);
}

void TfdbItemAsTLinks::Add(int number) {
    fdb_tlAdd(m_ref->Owner.Handle, m_ref->Index, number);
}

void TfdbItemAsTLinks::Delete(int position) {
    fdb_tlDelete(m_ref->Owner.Handle, m_ref->Index, position);
}

int TfdbItemAsTLinks::Clear(int mode) {
    TfdbHandle& handle = m_ref->Owner.Handle;
    for (int position = High(); position >= 0; --position) {
        fdb_DeleteEx(handle, fdb_tlGet(handle, m_ref->Index, position), mode);
    }
    fdb_tlNew(handle, m_ref->Index, 2);
    return 0;
}

TfdbItem& TfdbItemAsTLinks::Link(int position) {
    TfdbItem& slot = m_ref->Owner.LinkSlot;
    slot.Index = fdb_tlGet(m_ref->Owner.Handle, m_ref->Index, position);
    return slot;
}

std::unique_ptr<TfdbItem> TfdbItemAsTLinks::LinkRef(int position) {
    return m_ref->Owner.NewItemRef(fdb_tlGet(m_ref->Owner.Handle, m_ref->Index, position));
}

int TfdbItemAsObject::FindField(int position, int& number) {
    return fdb_oGetLinkJ(m_ref->Owner.Handle, m_ref->Index, position, number);
}

int TfdbItemAsObject::FieldIndex(int position) {
    int number = -1;
    return FindField(position, number) > 0 ? -1 : number;
}

TfdbItem& TfdbItemAsObject::Field(int position) {
    TfdbItem& slot = m_ref->Owner.FieldSlot;
    slot.Index = FieldIndex(position);
    return slot;
}

int TfdbItemAsObject::FindFieldByName(const std::string& name, int& number) {
    return fdb_oGetLinkN(m_ref->Owner.Handle, m_ref->Index, cutTo255(name), number);
}

std::unique_ptr<TfdbItem> TfdbItemAsObject::FieldRef(const std::string& name) {
    int number = -1;
    return m_ref->Owner.NewItemRef(FindFieldByName(name, number) > 0 ? -1 : number);
}

TfdbItem& TfdbItemAsObject::FieldByName(const std::string& name) {
    int number = -1;
    TfdbItem& slot = m_ref->Owner.FieldSlot;
    slot.Index = FindFieldByName(name, number) > 0 ? -1 : number;
    return slot;
}

} // namespace store

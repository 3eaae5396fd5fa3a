#include "store/store_dump.h"

#include "store/item_store.h"

#include <algorithm>
#include <cstdio>

namespace store {
namespace {

constexpr int maxIndentLevel = 40;

struct Pending {
    Link link;
    int depth;
    std::string label; // an object's field name
};

std::string plural(size_t count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

std::string valueText(const StoreValue& value) {
    if (value.isEmpty()) {
        return "empty";
    }
    std::string shown = value.kind() == StoreValue::Kind::Text ? quoteText(value.toText()) : value.toText();
    return std::string(kindName(value.kind())) + " " + shown;
}

std::string itemLine(const FdbStore& store, int number) {
    const Item& item = store.items[number];
    const std::string& name = itemName(item);
    std::string named = name.empty() ? "" : " " + quoteText(name);
    std::string line = std::to_string(number) + " ";
    switch (item.kind) {
    case fdbkind::Directory:
        return line + "directory" + named + " (" + (number == 1 ? "root, " : "") +
               plural(item.body->links.size(), "link") + ")";
    case fdbkind::LinkList:
        return line + "list" + named + " (" + plural(item.body->links.size(), "link") + ")";
    case fdbkind::ObjectMask:
        return line + "mask" + named + " (" + plural(item.body->fields.size(), "field") + ")";
    case fdbkind::Object:
        return line + "object" + named + " of mask " +
               std::to_string(store.isLive(item.body->mask) ? item.body->mask.number : 0) + " (" +
               plural(item.body->links.size(), "field") + ")";
    case fdbkind::Text:
        return line + "text" + named + " = " + valueText(item.value);
    default:
        return line + "value" + named + " = " + valueText(item.value);
    }
}

// The names an object's fields are shown with: its mask's field names, where there is one.
std::vector<std::string> fieldLabels(const FdbStore& store, const Item& object) {
    std::vector<std::string> labels(object.body->links.size());
    if (store.isLive(object.body->mask)) {
        const auto& fields = store.items[object.body->mask.number].body->fields;
        for (size_t i = 0; i < labels.size() && i < fields.size(); ++i) {
            labels[i] = fields[i].name;
        }
    }
    return labels;
}

class TreePrinter {
public:
    TreePrinter(const FdbStore& store, std::ostream& out)
        : m_store(store), m_out(out), m_shown(store.items.size(), false) {}

    bool shown(int number) const { return m_shown[number]; }

    void print(int number) {
        std::vector<Pending> pending{{m_store.linkTo(number), 0, {}}};
        while (!pending.empty()) {
            Pending next = std::move(pending.back());
            pending.pop_back();
            printOne(next, pending);
        }
    }

private:
    void printOne(const Pending& entry, std::vector<Pending>& pending) {
        std::string prefix(2 * std::min(entry.depth, maxIndentLevel), ' ');
        if (entry.depth > maxIndentLevel) {
            prefix += "[level " + std::to_string(entry.depth) + "] ";
        }
        if (!entry.label.empty()) {
            prefix += entry.label + ": ";
        }
        int number = entry.link.number;
        if (!m_store.isLive(entry.link)) {
            m_out << prefix << "(empty link)\n";
            return;
        }
        if (m_shown[number]) {
            m_out << prefix << number << " (shown above)\n";
            return;
        }
        m_shown[number] = true;
        m_out << prefix << itemLine(m_store, number) << '\n';
        const Item& item = m_store.items[number];
        if (item.kind == fdbkind::ObjectMask) {
            for (const MaskField& field : item.body->fields) {
                m_out << prefix << "  field " << quoteText(field.name) << " type " << field.type << " ("
                      << field.i2 << ", " << field.i3 << ", " << field.i4 << ")\n";
            }
            return;
        }
        if (!item.body) {
            return;
        }
        std::vector<std::string> labels;
        if (item.kind == fdbkind::Object) {
            labels = fieldLabels(m_store, item);
        }
        const auto& links = item.body->links;
        for (size_t i = links.size(); i-- > 0;) {
            pending.push_back({links[i], entry.depth + 1, labels.empty() ? std::string() : labels[i]});
        }
    }

    const FdbStore& m_store;
    std::ostream& m_out;
    std::vector<bool> m_shown;
};

} // namespace

std::string quoteText(const std::string& text) {
    std::string quoted = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            quoted += escape;
        } else {
            quoted += static_cast<char>(c);
        }
    }
    return quoted + "\"";
}

void dumpStore(const TfdbHandle& handle, std::ostream& out) {
    if (!handle.store) {
        out << "(no store)\n";
        return;
    }
    const FdbStore& store = *handle.store;
    TreePrinter printer(store, out);
    if (store.isLive(1)) {
        printer.print(1);
    }
    bool headed = false;
    for (size_t n = 2; n < store.items.size(); ++n) {
        if (store.isLive(static_cast<int>(n)) && !printer.shown(static_cast<int>(n))) {
            if (!headed) {
                out << "unlinked items:\n";
                headed = true;
            }
            printer.print(static_cast<int>(n));
        }
    }
}

} // namespace store

#include "app/history_menu.h"

#include "app/qt_text.h"
#include "texts/text_table.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>

namespace app {

namespace {

constexpr int ClearHistoryRow = 192;

} // namespace

void offerHistoryClearing(QComboBox* box) {
    QLineEdit* const edit = box->lineEdit();
    if (edit == nullptr) {
        return;
    }
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(edit, &QLineEdit::customContextMenuRequested, box, [box, edit](const QPoint& at) {
        QMenu* const menu = edit->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addSeparator();
        QAction* const clear = menu->addAction(toQt(texts::GetText(ClearHistoryRow)));
        clear->setObjectName(QStringLiteral("clearHistory"));
        clear->setEnabled(box->count() > 0);
        QObject::connect(clear, &QAction::triggered, box, [box] {
            const QSignalBlocker quiet(box);
            const QString typed = box->currentText();
            box->clear();
            box->setEditText(typed);
        });
        menu->popup(edit->mapToGlobal(at));
    });
}

} // namespace app

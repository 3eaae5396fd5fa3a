// The interface texts on the window: the named controls, the item lists made from rows, the
// link hints, the texts given by Tag and their mapping by class, and that no text is clipped.
#include "window_fixture.h"

#include "app/widgets.h"
#include "texts/text_table.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeView>

namespace apptest {
namespace {

QString row(int number) {
    return QString::fromStdString(texts::GetText(number));
}

QStringList itemsOf(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items << combo->itemText(i);
    }
    return items;
}

// List controls take their items from rows whose lines are separated by CR LF.
TEST_F(WindowTest, ItemListsComeFromRowsOneLineEach) {
    auto window = startWindow();
    EXPECT_EQ(window->RadioGroup1->items(),
              QStringList({"копировать", "копировать (функция системы)", "перемещать (функция системы)"}));
    EXPECT_EQ(itemsOf(window->cbExistAction),
              QStringList({"Перезаписывать", "Переименовывать (добавление номера в скобках)", "Пропускать"}));
    EXPECT_EQ(itemsOf(window->cb5),
              QStringList({"Удалять", "Заменять на пробел", "Заменять на подчеркивание"}));
    const QAbstractItemModel* rows = window->ListView1->model();
    EXPECT_EQ(rows->headerData(0, Qt::Horizontal), QStringLiteral("Описание"));
    EXPECT_EQ(rows->headerData(1, Qt::Horizontal), QStringLiteral("Источник"));
    EXPECT_EQ(rows->headerData(2, Qt::Horizontal), QStringLiteral("Приемник"));
}

// Captions named by ApplyInterfaceTexts, the window title taken from the header, and the
// composed texts: the footer buttons, the About line and the two-line link hints.
TEST_F(WindowTest, NamedControlsCarryTheirRows) {
    auto window = startWindow();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tunewagon 4.2 RC"));
    EXPECT_EQ(window->Label1->text(), window->windowTitle());
    EXPECT_EQ(window->BNext->text(), QStringLiteral("Далее >>"));
    EXPECT_EQ(window->BPrev->text(), QStringLiteral("<< Назад"));
    EXPECT_EQ(window->Button4->text(), QStringLiteral("Выход"));
    EXPECT_EQ(window->RG3->title(), QStringLiteral(" Тип копирования/перемещения: "));
    EXPECT_EQ(window->GroupBox1->title(), QStringLiteral(" Параметры: "));
    EXPECT_EQ(window->chCreateList->text(), QStringLiteral("Создать новый плейлист (\"_playlist_.m3u\")"));
    EXPECT_EQ(window->Label22->text(), row(0) + " " + row(1) + " " + row(2));
    // The introduction keeps its line breaks, as Qt shows them.
    EXPECT_EQ(window->Label17->text().count('\n'), row(21).count("\r\n"));
    EXPECT_FALSE(window->Label17->text().contains('\r'));

    const QStringList mail = window->StaticText6->toolTip().split('\n');
    ASSERT_EQ(mail.size(), 2);
    EXPECT_EQ(mail[0], row(28));
    EXPECT_TRUE(mail[1].contains('@'));
    EXPECT_FALSE(mail[1].contains(':') || mail[1].contains('?'));
    const QStringList site = window->StaticText3->toolTip().split('\n');
    ASSERT_EQ(site.size(), 2);
    EXPECT_EQ(site[0], row(23));
    EXPECT_TRUE(row(3).startsWith(site[1]) && site[1].endsWith('/'));
    EXPECT_EQ(window->Image3->toolTip(), window->StaticText3->toolTip());
    const QStringList product = window->StaticText4->toolTip().split('\n');
    ASSERT_EQ(product.size(), 2);
    EXPECT_TRUE(row(5).startsWith(product[1]) && !product[1].contains('&'));
    EXPECT_EQ(window->StaticText8->toolTip(), row(29));
}

// The components that carry a Tag get their row at start-up; a group box adds one blank on
// each side.
TEST_F(WindowTest, TaggedComponentsGetTheirRows) {
    auto window = startWindow();
    EXPECT_EQ(window->GroupBox2->title(), QStringLiteral(" Ограничение по размеру приемника: "));
    EXPECT_EQ(window->StaticText8->text(), QStringLiteral("Brightmoor Форум Tunewagon"));
    EXPECT_EQ(window->Label29->text(), row(48));
    EXPECT_EQ(window->Label6->text(), QStringLiteral("Выберите приемник:"));
    EXPECT_EQ(window->Label7->text(), QStringLiteral("Папка:"));
    EXPECT_EQ(window->cbDiv->text(), QStringLiteral("Разбить по папкам"));
    EXPECT_EQ(window->cb2->text(), row(69));
    EXPECT_EQ(window->cb3->text(), row(70));
    EXPECT_EQ(window->cb4->text(), row(71));
    EXPECT_EQ(window->cbAutoSizeLimit->text(), QStringLiteral("Авто"));
    EXPECT_EQ(window->Label27->text(), row(74));
}

// The text goes where the exact class shows it; subclasses and other classes get nothing,
// and a Tag outside the range is left alone.
TEST_F(WindowTest, TaggedTextFollowsTheExactClass) {
    auto window = startWindow();
    const QString untouched = QStringLiteral("unchanged");
    auto* checkBox = new QCheckBox(untouched, window.get());
    auto* label = new QLabel(untouched, window.get());
    auto* staticText = new app::StaticText(window.get());
    auto* page = new app::WizardPage(window.get());
    auto* speedButton = new QToolButton(window.get());
    auto* groupBox = new QGroupBox(untouched, window.get());
    auto* radioGroup = new app::RadioGroup(window.get());
    radioGroup->setTitle(untouched);
    auto* pushButton = new QPushButton(untouched, window.get());
    auto* radioButton = new QRadioButton(untouched, window.get());
    auto* outOfRange = new QLabel(untouched, window.get());
    for (QObject* component : std::initializer_list<QObject*>{
             checkBox, label, staticText, page, speedButton, groupBox, radioGroup, pushButton, radioButton}) {
        app::setTag(component, 51);
    }
    app::setTag(outOfRange, 53);

    window->ApplyTaggedTexts(50, 52);
    const QString text = QStringLiteral("Папка");
    EXPECT_EQ(checkBox->text(), text);
    EXPECT_EQ(label->text(), text);
    EXPECT_EQ(staticText->text(), text);
    EXPECT_EQ(page->caption(), text);
    EXPECT_EQ(speedButton->toolTip(), text);
    EXPECT_TRUE(speedButton->text().isEmpty());
    EXPECT_EQ(groupBox->title(), " " + text + " ");
    EXPECT_EQ(radioGroup->title(), untouched);
    EXPECT_EQ(pushButton->text(), untouched);
    EXPECT_EQ(radioButton->text(), untouched);
    EXPECT_EQ(outOfRange->text(), untouched);
    // The window's own tagged controls lie outside 50..52 and keep their texts.
    EXPECT_EQ(window->Label29->text(), row(48));
    EXPECT_TRUE(window->updatesEnabled());
}

// Every caption on every page fits the space its layout gives it in the fixed window.
TEST_F(WindowTest, NoPageClipsItsTexts) {
    auto window = startWindow();
    window->show();
    for (int i = 0; i < window->PCL->count(); ++i) {
        window->PCL->setCurrentIndex(i);
        window->UpdateWizardButtons();
        QCoreApplication::processEvents();
        QWidget* page = window->PCL->currentWidget();
        SCOPED_TRACE(page->objectName().toStdString());
        QList<QWidget*> shown = page->findChildren<QWidget*>();
        shown += window->Panel1->findChildren<QWidget*>();
        shown += window->Panel2->findChildren<QWidget*>();
        for (QWidget* control : shown) {
            if (!control->isVisible()) {
                continue;
            }
            const std::string name = control->objectName().toStdString();
            const QSize hint = control->sizeHint();
            if (auto* label = qobject_cast<QLabel*>(control); label && label->wordWrap()) {
                EXPECT_GE(control->height(), label->heightForWidth(control->width())) << name;
            } else if (qobject_cast<QLabel*>(control) || qobject_cast<QAbstractButton*>(control) ||
                       (qobject_cast<QComboBox*>(control) &&
                        !static_cast<QComboBox*>(control)->isEditable())) {
                EXPECT_GE(control->width(), hint.width()) << name;
                EXPECT_GE(control->height(), hint.height()) << name;
            } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
                EXPECT_GE(group->width(), group->fontMetrics().horizontalAdvance(group->title())) << name;
            }
        }
    }
}

} // namespace
} // namespace apptest

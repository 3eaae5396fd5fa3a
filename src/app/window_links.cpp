// The start page's links, the About page and the footer's link: page changes through the
// flow, addresses and mail links through the window's LinkOpener.
#include "app/desktop_links.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "store/object_model.h"
#include "texts/text_table.h"

#include <QLabel>

namespace app {

namespace {

constexpr int MakerSiteRow = 3;
constexpr int ProgramSiteRow = 5;
constexpr int MailRow = 6;
constexpr int ForumRow = 8;

// Shown last on the About page: where the item store comes from.
constexpr const char* StoreProjectSite = "http://brightmoor.example/fdb/";

} // namespace

void TForm1::StaticText1Click() {
    m_flow->showSourcePage();
}

void TForm1::StaticText2Click() {
    m_flow->showAboutPage();
}

void TForm1::StaticText3Click() {
    m_links->openAddress(texts::GetText(MakerSiteRow));
}

void TForm1::StaticText4Click() {
    m_links->openAddress(texts::GetText(ProgramSiteRow));
}

void TForm1::StaticText6Click() {
    m_links->openAddress(texts::GetText(MailRow));
}

void TForm1::StaticText8Click() {
    m_links->openAddress(texts::GetText(ForumRow));
}

void TForm1::Label24Click() {
    m_links->openAddress(texts::GetText(MailRow));
}

void TForm1::TSAShow() {
    std::string module;
    if (ConfDb) {
        ConfDb->ModuleInfo(module);
    }
    Label25->setText(toQt("fdb module:\r\n" + module + ", fdbObjectModel v1.37 D4BD\r\n" + StoreProjectSite));
}

} // namespace app

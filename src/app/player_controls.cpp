#include "app/player_controls.h"

#include "app/qt_text.h"
#include "app/track_list_model.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QSlider>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

namespace app {

void QtPlayerTimer::start() {
    m_timer->start();
}

void QtPlayerTimer::stop() {
    m_timer->stop();
}

void PlayerControls::setStatus(const std::string& text) {
    m_controls.status->setText(toQt(text));
}

void PlayerControls::setTrackMaximum(int maximum) {
    m_controls.trackBar->setMaximum(maximum);
}

void PlayerControls::setTrackPosition(int position) {
    m_controls.trackBar->setValue(position);
}

int PlayerControls::trackPosition() const {
    return m_controls.trackBar->value();
}

void PlayerControls::setTrackEnabled(bool enabled) {
    m_controls.trackBar->setEnabled(enabled);
}

void PlayerControls::showError(const std::string& text) {
    m_prompts.showError(text);
}

std::string PlayerControls::firstSelectedSource() const {
    const QModelIndexList selected = m_controls.list->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        return {};
    }
    const auto first =
        std::min_element(selected.begin(), selected.end(),
                         [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    return m_controls.rows->sourceAt(first->row());
}

} // namespace app

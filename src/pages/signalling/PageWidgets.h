// Small widget helpers shared by the signalling pages.
#pragma once

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QString>
#include <string>

#include "controls/FilterEdit.h"
#include "model/SettingsRegistry.h"
#include "model/SignallingLists.h"
#include "model/Windows1252.h"

namespace ks340::pagewidgets {

inline QString shown(const std::string& bytes) { return QString::fromStdString(cp1252ToUtf8(bytes)); }

inline std::string stored(const QString& text) { return utf8ToCp1252(text.toStdString()); }

inline void fillList(QComboBox* list, const signalling::ItemList& items) {
    list->clear();
    for (const std::string& item : items) list->addItem(QString::fromStdString(item));
}

inline void selectPosition(QComboBox* list, int position) {
    list->setCurrentIndex(position >= 0 && position < list->count() ? position : -1);
}

// A label for `field` in the grid: the label is the field's buddy and gives
// it its accessible name. A unit ("S", "mS") follows the field directly.
inline QLabel* addLabelled(QGridLayout* grid, int row, int column, const QString& text, QWidget* field,
                           const QString& unit = QString()) {
    auto* label = new QLabel(text);
    label->setBuddy(field);
    field->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    grid->addWidget(label, row, column);
    if (unit.isEmpty()) {
        grid->addWidget(field, row, column + 1);
    } else {
        auto* withUnit = new QHBoxLayout;
        withUnit->addWidget(field);
        withUnit->addWidget(new QLabel(unit));
        withUnit->addStretch(1);
        grid->addLayout(withUnit, row, column + 1);
    }
    return label;
}

// A setting's label and unit from the settings table, with its field.
inline QLabel* addSetting(QGridLayout* grid, int row, int column, const std::string& key, QWidget* field) {
    return addLabelled(grid, row, column, QString::fromStdString(settingLabel(key)), field,
                       QString::fromStdString(settingUnit(key)));
}

// Wide enough for 15 DTMF digits.
inline DtmfDigitEdit* dtmfDigitsField() {
    auto* edit = new DtmfDigitEdit;
    edit->setMaxLength(signalling::kDtmfDigitsLength);
    edit->setMinimumWidth(
        edit->fontMetrics().horizontalAdvance(QString(signalling::kDtmfDigitsLength + 1, QLatin1Char('#'))) + 12);
    return edit;
}

}  // namespace ks340::pagewidgets

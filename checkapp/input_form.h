// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The design's inputs as a form, in the window's units, each field with the command's message
// beside it when the command would refuse what is typed. The form only holds texts; what they
// mean is read by form_reading.

#include "band_plan.h"
#include "check_inputs.h"

#include <QLocale>
#include <QWidget>

#include <map>
#include <string>
#include <vector>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

class InputForm : public QWidget {
    Q_OBJECT
public:
    explicit InputForm(QWidget* parent = nullptr);

    // The fields as the command line's option texts: empty fields are not given.
    std::map<std::string, std::string> optionTexts() const;
    void setInputs(const brevan::check::CheckInputs& inputs);
    // The line a sweep was measured through, as a design file keeps it; empty: at the feed.
    void setFeedLine(const brevan::check::CheckInputs& inputs);
    // The feed line's fields belong to a sweep: shown while one is open, hidden otherwise.
    void showFeedLine(bool shown);
    // Shows each option's message beside its field and clears the others; a message that
    // names no field goes below the form.
    void showRefusals(const std::map<std::string, std::string>& refusals);

    // The widgets in the order Tab takes them.
    QList<QWidget*> tabChain() const;

Q_SIGNALS:
    void edited();

private:
    struct Row {
        std::string option; // the command line's name
        QLabel* caption = nullptr;
        QWidget* field = nullptr;
        QLabel* unit = nullptr;
        QLabel* message = nullptr;
    };

    void createRows();
    // A field of the table of inputs, with its label and unit from there.
    QLineEdit* addNumber(const std::string& option, const QString& name, const QString& accessible);
    QComboBox* addGauge(const std::string& option, const QString& name, const QString& accessible);
    void addRow(const std::string& option, const QString& label, QWidget* field,
                const QString& unit);
    QString shown(double value) const;
    QString shownText(const std::string& optionText) const;
    QLineEdit* numberField(const std::string& option) const;
    void pickBand(int index);
    void followFrequency();
    void groundChanged();
    void shapeChanged();
    void insulationChanged();
    void createInsulationRows();
    void createPowerRows();
    void formerChanged();
    void createFormerRows();
    void createBuiltCoilRows();

    QLocale m_locale;
    std::vector<brevan::faces::BandChoice> m_bands;
    QGridLayout* m_grid = nullptr;
    std::vector<Row> m_rows;
    QComboBox* m_bandPicker = nullptr;
    QLineEdit* m_frequency = nullptr;
    QComboBox* m_ground = nullptr;
    QLineEdit* m_height = nullptr;
    QComboBox* m_shape = nullptr;
    QLineEdit* m_legAngle = nullptr;
    QLineEdit* m_endsHeight = nullptr;
    QComboBox* m_insulation = nullptr;
    QLineEdit* m_insulationThickness = nullptr;
    QLineEdit* m_permittivity = nullptr;
    QComboBox* m_formerMaterial = nullptr;
    QComboBox* m_mode = nullptr; // the mode, for the coils' average heat
    QLineEdit* m_formerPermittivity = nullptr;
    QLabel* m_otherMessage = nullptr;
};

#pragma once

// The Registry page (TabReg) of the main window: an export file, the uninstall options, and
// the conversion into a [Registry] section.

#include "regconv/MemoSink.h"
#include "regconv/RegConvOptions.h"
#include "widgets/SectionView.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QToolButton;
class TAdvancedRegConverter;

class TRegistryPage : public QWidget {
    Q_OBJECT

public:
    // `messageItems` holds the window's message items (LangSelectFolder).
    explicit TRegistryPage(const QObject* messageItems, QWidget* parent = nullptr);

    // The main window's converter, used for every conversion.
    void SetConverter(TAdvancedRegConverter* converter) { FConverter = converter; }

    // The options as they are set now; a MinVersion the compiler would refuse is left out
    // (the field shows it, and Start refuses to convert with it).
    [[nodiscard]] TRegConvOptions Options() const;
    // The privileges choice as stored: "", "admin", "lowest" or "dynamic".
    [[nodiscard]] QString PrivilegesText() const;
    void SetPrivilegesText(const QString& text);
    // Shows or hides the option panel (RegOptionsVisible).
    void SetRegOptionsVisible(bool visible);
    [[nodiscard]] bool RegOptionsVisible() const { return FRegOptionsVisible; }
    // Converts an export into the text area, streaming: the window answers meanwhile. False,
    // touching nothing, when there is no such file or a conversion runs already (a second
    // one cannot start while the first lets the window's events run); false too when the
    // export cannot be converted: the text area then says why.
    bool ConvertFile(const QString& path);
    [[nodiscard]] bool Converting() const { return FConverting; }
    // Ends a running conversion at its next step (the window is closing).
    void StopConversion() { FSink.Stop(); }

    QGroupBox* GroupBox1;
    QLineEdit* EditPathReg;
    QPushButton* ButtonBrowseReg;
    QGroupBox* GroupBoxListReg;
    TSectionView* MemoReg;
    QStatusBar* StatusBar2;
    QGroupBox* GroupBoxControlReg;
    QCheckBox* CheckBoxUninsdeletevalue;
    QCheckBox* CheckBoxUninsdeletekey;
    QCheckBox* CheckBoxUninsdeletekeyifempty;
    QCheckBox* CheckBoxClassesAsHka;
    QCheckBox* CheckBoxWow64View;
    QLabel* LabelPrivileges;
    QComboBox* ComboBoxPrivileges; // Inno Setup's own words: not translated
    QLabel* LabelMinVersion;
    QLineEdit* EditMinVersion;
    QGroupBox* GroupBox2;
    QToolButton* ButtonRegOption;
    QPushButton* ButtonChangeReg;

public slots:
    void ButtonBrowseRegClick();
    void ButtonChangeRegClick();
    void ButtonRegOptionClick() { SetRegOptionsVisible(!FRegOptionsVisible); }
    void CheckBoxUninsdeletekeyClick();
    void CheckBoxUninsdeletekeyifemptyClick();

private:
    void ShowMinVersionState();
    void SetConvertControlsEnabled(bool enabled);

    const QObject* FMessageItems;
    TAdvancedRegConverter* FConverter = nullptr;
    TMemoSink FSink;
    bool FConverting = false;
    bool FRegOptionsVisible = false;
};

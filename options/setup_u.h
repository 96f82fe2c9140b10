// The options dialog. Created once at start-up, where its creation loads the settings;
// shown modally by "&Personnaliser". Its pages are built when it first shows: the
// controls below are null until then. Showing copies AppSettings into the controls,
// "Appliquer" copies them back, saves them with the shell registration and asks the
// documents' host to apply them to the open windows.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "calc/keyboard.h"
#include "settings/parametre.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace scrivle {

class Dialogs;
class DocumentHost;
class EditorView;
class Registry;

class TOptions : public QDialog {
  Q_OBJECT

 public:
  // The parent, when it hosts the documents, is also the one that applies the settings
  // (setHost can name another).
  explicit TOptions(QWidget* parent = nullptr);
  ~TOptions() override;

  void setHost(DocumentHost* host);
  // Showing builds the pages the first time.
  void setVisible(bool visible) override;
  // The registry the settings were loaded from (the recent files write there too).
  Registry* registry() const { return registry_.get(); }

  // A colour button's row: the button previews the style in its caption.
  struct StyleRow {
    QPushButton* Btn = nullptr;
    QCheckBox* CheckGras = nullptr;
    QCheckBox* CheckIta = nullptr;
  };
  enum class Element { Gras, Italique };

  void FormCreate();
  void FormShow();
  void AppBtnClick();
  void OKBtnClick();
  void modif();
  void Check_DefClick();
  void ChangeCouleur(QPushButton* button);
  void ChangeBtnStyle(QPushButton* button, Element element, bool on);
  void ChangeBtnStyleCheck(QPushButton* button, Element element, QCheckBox* box, bool on);
  // "Tous identiques" of the '#' page (diese) or of the '&' page.
  void Check_AllClick(bool diese);
  void IsAsso();
  void RichEditMenuKeyDown(int title, int& key, ShiftState shift);
  void EditMenuKeyPress(unsigned char& ch);
  void BtnSaveDirClick();
  void BtnMenuDefClick();
  // "Défaut" of the '#' page (diese) or of the '&' page.
  void Btn_DefClick(bool diese);
  void BtnUninstClick();

  // The colour a button's caption shows (0x00BBGGRR).
  static ColorRef captionColour(const QPushButton* button);
  // AutoSaveTime in minutes as the dialog shows it: shortest form, the user's decimal
  // separator.
  static QString minutesText(std::int32_t milliseconds);
  bool stylesChanged() const { return StylesChanged; }

  // Controls, named as the form names them.
  QTabWidget* PageControl1 = nullptr;
  QWidget* TitlesPage = nullptr;
  QWidget* DieseTagsPage = nullptr;  // '#' colours
  QWidget* EtTagsPage = nullptr;     // '&' colours
  QWidget* EditingPage = nullptr;
  QWidget* EnvironmentPage = nullptr;
  QWidget* UninstallPage = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* AppBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

  std::array<QLineEdit*, kTitleCount> EditMenu{};
  std::array<EditorView*, kTitleCount> RichEditMenu{};
  QCheckBox* CheckMenuDef = nullptr;
  QPushButton* BtnMenuDef = nullptr;

  std::array<StyleRow, kDieseTagCount> RowsDiese{};  // kDieseTagOrder
  StyleRow Row_All;
  QCheckBox* Check_All = nullptr;
  QCheckBox* Check_Def = nullptr;
  QPushButton* Btn_Def = nullptr;
  std::array<StyleRow, kEtTagCount> RowsEt{};  // kEtTagOrder
  StyleRow Row__All;
  QCheckBox* Check__All = nullptr;
  QCheckBox* Check__Def = nullptr;
  QPushButton* Btn__Def = nullptr;

  QLineEdit* EditDefaultDir = nullptr;
  QLineEdit* EditDefaultName = nullptr;
  StyleRow RowBook;  // BtnBook, CheckGrasBook, CheckItaBook
  QCheckBox* CheckInserMode1 = nullptr;
  QCheckBox* CheckInserMode2 = nullptr;
  QCheckBox* CheckTimer = nullptr;
  QLineEdit* EditTimer = nullptr;
  QCheckBox* CheckTrait = nullptr;
  QCheckBox* CheckTableCar = nullptr;
  QComboBox* ComboLangue = nullptr;  // spelling language, the ones found only
  QCheckBox* CheckMenuNouveau = nullptr;

  QCheckBox* CheckAsso89 = nullptr;
  QCheckBox* CheckAsso92 = nullptr;
  QCheckBox* CheckAsso9x = nullptr;
  QCheckBox* CheckMenuOuvrir = nullptr;
  QCheckBox* CheckMenuZipper = nullptr;
  QGroupBox* RadioGroupExt = nullptr;
  std::array<QRadioButton*, 3> RadioExt{};  // items 0..2: .89t .92t .9xt
  QCheckBox* CheckEnvirFlat = nullptr;
  QCheckBox* CheckEnvirScroll = nullptr;
  QCheckBox* CheckRecent = nullptr;
  QLineEdit* EditRecentNb = nullptr;
  QCheckBox* CheckNew = nullptr;
  QCheckBox* CheckColor = nullptr;
  QLineEdit* EditSaveDir = nullptr;
  QPushButton* BtnSaveDir = nullptr;
  QPushButton* BtnUninst = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  Dialogs& dialogs();
  bool colourOn() const;
  void buildPages();
  void buildTitlesPage();
  QWidget* buildTagsPage(bool diese);
  void buildEditingPage();
  void buildEnvironmentPage();
  void buildUninstallPage();
  StyleRow makeRow(const QString& name, const std::string& caption, QCheckBox* defaultBox);
  void showRow(const StyleRow& row, ColorRef colour, Flag bold, Flag italic);
  // The controls of one tag family's page: '#' (diese) or '&'.
  struct FamilyPage {
    std::span<StyleRow> rows;  // kDieseTagOrder or kEtTagOrder
    StyleRow& all;
    QCheckBox* same;       // "Tous identiques"
    QCheckBox* byDefault;  // "Options par défaut"
    std::vector<QLabel*>& labels;
  };
  FamilyPage family(bool diese);
  void showFamily(bool diese, bool defaults);
  void setFamilyEnabled(bool diese);
  void run(const std::function<void()>& handler);
  void applyToTags(bool diese);
  void saveAndRegister();
  // Asks the host to put the settings into the open windows.
  void applyToWindows();

  DocumentHost* host_ = nullptr;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<Dialogs> ownDialogs_;
  std::vector<QLabel*> labelsDiese_;  // the column labels of the '#' rows
  std::vector<QLabel*> labelsEt_;
  bool StylesChanged = false;
  std::int32_t SkipKeyPress = 0;
  std::optional<QPoint> place_;  // where it was last closed (its frame's corner)
};

}  // namespace scrivle

#pragma once

#include <QWidget>

#include <functional>

#include "date.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace sutograf {

class RosterModel;
class RosterSource;

// «Личный состав»: the people of the unit as a table, grouped or filtered by watch. A person is added
// from the line above the table; a name, a personnel number or the week is edited in its cell; a move
// to another watch, a leaving and a removal act on the selected person from the line below it. Each
// edit is saved at once: a refused one says why, and the table shows what the store holds. The
// roster's CSV is read and written for spreadsheets. Modeless; the main window keeps one, and it
// outlives the main window; it opens where it was last closed. The roster must outlive the window.
class frmRoster : public QWidget {
    Q_OBJECT
public:
    using Clock = std::function<LocalTime()>;

    frmRoster(RosterSource& roster, Clock clock, QWidget* parent = nullptr);
    ~frmRoster() override;

    // The person from the add line; answers whether they were saved.
    bool addPerson();
    // The selected person moves to the move line's watch, or leaves, from its date.
    bool moveSelected();
    bool markSelectedLeft();
    // Asks first: their marks go with them.
    bool deleteSelected();
    // The file dialogs, then the files.
    void importAsked();
    void exportAsked();
    bool importCsv(const QString& path);
    bool exportCsv(const QString& path);

    void selectPerson(std::int64_t id);
    // The last edit's outcome, as the status line shows it.
    QString status() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createFilter();
    void createAddLine();
    void createTable();
    void createMoveLine();
    void createFileButtons();
    void createKeys();
    void layOut();

    void reload();
    std::int64_t selectedPerson() const;
    bool done(const std::string& error, const QString& success);
    void say(const QString& text, bool failure = false);
    void report(const QString& title, const QString& text, const QString& details = {});
    QString csvFolder() const;
    void rememberFolder(const QString& path);

    RosterSource& roster_;
    Clock clock_;
    RosterModel* model_;

    QComboBox* filter_;
    QLineEdit* nameBox_;
    QLineEdit* numberBox_;
    QComboBox* watchBox_;
    QDateEdit* fromBox_;
    QComboBox* weekBox_;
    QPushButton* addButton_;
    QTableView* table_;
    QComboBox* moveWatchBox_;
    QDateEdit* moveDateBox_;
    QPushButton* moveButton_;
    QPushButton* leftButton_;
    QPushButton* deleteButton_;
    QPushButton* importButton_;
    QPushButton* exportButton_;
    QLabel* problemLine_;
    QLabel* statusLine_;
};

} // namespace sutograf

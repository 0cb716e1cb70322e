// The data source of a native table that shows an FCCtrlDataList.
//
// Columns belong to the model: an optional check-box column with the
// identifier "check" and text columns "col1", "col2", ...; column "colN"
// shows cell N-1 of each row (an FCDataListRow's strings). Rows are read
// from the connected list; the number of rows the table sees is taken when
// the list is connected and at each reload(), so the list can change freely
// between redraws. The check column's cells are user-checkable; a toggle is
// handed to the check handler (the window controller), which updates the row
// and calls the list's HandleCheckChange.
//
// The model is owned by its table view (its QObject parent). The connected
// list is borrowed and must be disconnected (setDataList(nullptr)) before it
// is destroyed.
#pragma once

#include <functional>
#include <vector>

#include <QAbstractTableModel>
#include <QFont>
#include <QString>

class QWidget;

class FCCtrlDataList;

class _FCDataListModel_qt : public QAbstractTableModel {
    Q_OBJECT
public:
    // The framework's default column font size (points where it came from).
    static constexpr int kDefaultFontSize = 12;

    struct Column {
        QString identifier;  // "check" or "col<N>"
        QString title;
        // The size the framework asks for: kDefaultFontSize is the table's
        // own font (the dialog's); other sizes scale it.
        int fontSize = kDefaultFontSize;
        // The width asked for; text columns share the table's full width in
        // these proportions.
        int width = 0;
    };

    // Receives (list, row, checked) when the user toggles a check box.
    using CheckHandler = std::function<void(FCCtrlDataList*, int, bool)>;

    explicit _FCDataListModel_qt(QObject* parent = nullptr);
    ~_FCDataListModel_qt() override;

    FCCtrlDataList* dataList() const { return _list; }
    // Connects (or, with null, disconnects) the list and rereads the rows.
    void setDataList(FCCtrlDataList* list);
    void setCheckHandler(CheckHandler handler) { _checkHandler = std::move(handler); }

    // Rereads the number of rows and all cells.
    void reload();
    // The check cell of one row changed (rows outside the shown rows are
    // ignored).
    void checkChanged(int row);

    // The font of a column's cells in table: its own font for the default
    // size, else scaled to fontSize.
    static QFont CellFont(const QWidget* table, int fontSize);

    // Appends a column; answers its index.
    int appendColumn(const Column& column);
    void setColumnTitle(int column, const QString& title);
    void removeAllColumns();
    // The column at index, or null.
    const Column* columnAt(int column) const;
    bool hasCheckColumn() const;
    // "col" followed by one more than the number after "col" in the last
    // column's identifier (1 when there is no column or it is not so named).
    QString nextTextColumnIdentifier() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    // A valid top-level index within the shown rows and columns.
    bool _IsCell(const QModelIndex& index) const;
    // The text column number N of "colN", or 0.
    static int TextColumnNumber(const QString& identifier);

    FCCtrlDataList* _list = nullptr;
    int _rows = 0;
    std::vector<Column> _columns;
    CheckHandler _checkHandler;
};

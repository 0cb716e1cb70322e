#include "tonaroframework/qt/fcdatalistmodel_qt.h"

#include <QApplication>
#include <QFont>
#include <QWidget>

#include "tonaroframework/qt/fcstring_qt.h"
#include "tonaroframework/ui/fcctrldatalist.h"
#include "tonaroframework/ui/fcdatalistrow.h"

namespace {

const QString kCheckColumn = QStringLiteral("check");
const QString kTextColumnPrefix = QStringLiteral("col");

}  // namespace

_FCDataListModel_qt::_FCDataListModel_qt(QObject* parent) : QAbstractTableModel(parent) {}

_FCDataListModel_qt::~_FCDataListModel_qt() = default;

QFont _FCDataListModel_qt::CellFont(const QWidget* table, int fontSize)
{
    QFont font = table != nullptr ? table->font() : QApplication::font();
    if (fontSize > 0 && fontSize != kDefaultFontSize && font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * fontSize / kDefaultFontSize);
    return font;
}

void _FCDataListModel_qt::setDataList(FCCtrlDataList* list)
{
    beginResetModel();
    _list = list;
    _rows = list != nullptr ? list->GetCount() : 0;
    endResetModel();
}

void _FCDataListModel_qt::reload()
{
    beginResetModel();
    _rows = _list != nullptr ? _list->GetCount() : 0;
    endResetModel();
}

void _FCDataListModel_qt::checkChanged(int row)
{
    if (row < 0 || row >= _rows || !hasCheckColumn()) return;
    const QModelIndex cell = index(row, 0);
    emit dataChanged(cell, cell, {Qt::CheckStateRole});
}

int _FCDataListModel_qt::appendColumn(const Column& column)
{
    const int position = static_cast<int>(_columns.size());
    beginInsertColumns(QModelIndex(), position, position);
    _columns.push_back(column);
    endInsertColumns();
    return position;
}

void _FCDataListModel_qt::setColumnTitle(int column, const QString& title)
{
    if (column < 0 || column >= static_cast<int>(_columns.size())) return;
    _columns[static_cast<size_t>(column)].title = title;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void _FCDataListModel_qt::removeAllColumns()
{
    if (_columns.empty()) return;
    beginRemoveColumns(QModelIndex(), 0, static_cast<int>(_columns.size()) - 1);
    _columns.clear();
    endRemoveColumns();
}

const _FCDataListModel_qt::Column* _FCDataListModel_qt::columnAt(int column) const
{
    if (column < 0 || column >= static_cast<int>(_columns.size())) return nullptr;
    return &_columns[static_cast<size_t>(column)];
}

bool _FCDataListModel_qt::hasCheckColumn() const
{
    return !_columns.empty() && _columns.front().identifier == kCheckColumn;
}

int _FCDataListModel_qt::TextColumnNumber(const QString& identifier)
{
    if (!identifier.startsWith(kTextColumnPrefix)) return 0;
    bool ok = false;
    const int number = identifier.mid(kTextColumnPrefix.size()).toInt(&ok);
    return ok && number > 0 ? number : 0;
}

QString _FCDataListModel_qt::nextTextColumnIdentifier() const
{
    const int last = _columns.empty() ? 0 : TextColumnNumber(_columns.back().identifier);
    return kTextColumnPrefix + QString::number(last + 1);
}

bool _FCDataListModel_qt::_IsCell(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this && !index.parent().isValid() && index.row() < _rows &&
           index.column() < static_cast<int>(_columns.size());
}

int _FCDataListModel_qt::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : _rows; }

int _FCDataListModel_qt::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(_columns.size());
}

QVariant _FCDataListModel_qt::data(const QModelIndex& index, int role) const
{
    if (!_IsCell(index)) return QVariant();
    const Column& column = _columns[static_cast<size_t>(index.column())];
    // The list may have lost rows since the last reload; such rows read empty.
    FCDataListRow* row = _list != nullptr ? _list->GetItemAt(index.row()) : nullptr;
    if (column.identifier == kCheckColumn) {
        if (role == Qt::CheckStateRole && row != nullptr) return row->GetCheck() ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    }
    switch (role) {
        case Qt::DisplayRole: {
            const int number = TextColumnNumber(column.identifier);
            if (row == nullptr || number == 0) return QString();
            return FCStringToControlText(row->GetItemAt(number - 1));
        }
        case Qt::FontRole:
            if (column.fontSize == kDefaultFontSize || column.fontSize <= 0) return QVariant();
            return CellFont(qobject_cast<const QWidget*>(QObject::parent()), column.fontSize);
        default:
            return QVariant();
    }
}

bool _FCDataListModel_qt::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || _list == nullptr) return false;
    if (!_IsCell(index)) return false;
    if (_columns[static_cast<size_t>(index.column())].identifier != kCheckColumn) return false;
    if (_list->GetItemAt(index.row()) == nullptr) return false;
    const bool checked = value.toInt() == Qt::Checked;
    // The handler updates the row (which refreshes this cell through
    // checkChanged) and runs the list's handler, which may change the model.
    if (_checkHandler) _checkHandler(_list, index.row(), checked);
    return true;
}

Qt::ItemFlags _FCDataListModel_qt::flags(const QModelIndex& index) const
{
    if (!_IsCell(index)) return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (_columns[static_cast<size_t>(index.column())].identifier == kCheckColumn) result |= Qt::ItemIsUserCheckable;
    return result;
}

QVariant _FCDataListModel_qt::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
    const Column* column = columnAt(section);
    return column != nullptr ? QVariant(column->title) : QVariant();
}

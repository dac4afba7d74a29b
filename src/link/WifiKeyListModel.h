#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QVector>

// The registered Wi-Fi keys as the user chooses between them: one row per key, in the order
// the link lists them, so a row number is the link's key index. The text is the key's name
// (its identifier until the key names itself). The link keeps it in step; views only read.
class WifiKeyListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role { IdentifierRole = Qt::UserRole + 1 };

    explicit WifiKeyListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    QString text(int row) const;
    QString identifier(int row) const;

    // For the link.
    void append(const QString &identifier, const QString &text);
    void setText(int row, const QString &text);
    void remove(int row);

private:
    struct Row
    {
        QString identifier;
        QString text;
    };
    QVector<Row> m_rows;
};

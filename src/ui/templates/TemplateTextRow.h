#pragma once

#include <QCoreApplication>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QGridLayout;
class QLineEdit;
class QWidget;
class cSwitcher;

// The part every template row shares: the on/off switch (numbered with the row) and the
// entry's texts, laid into the page's grid so the columns of all rows line up. A text longer
// than the key's field is marked while it is typed; it is shortened when saved.
class TemplateTextRow : public QObject
{
    Q_OBJECT
public:
    // index: the entry's index (shown counted from 1). captions: one per text, used as the
    // edits' placeholder and accessible name. fieldSize: the key's field in bytes (NUL
    // included). The switch goes to (line, 0) spanning lineSpan lines, text k to
    // (line, 1 + k).
    TemplateTextRow(int index, const QString &objectPrefix, const QStringList &captions, int fieldSize,
                    QWidget *parent, QGridLayout *grid, int line, int lineSpan = 1);

    int index() const { return m_index; }
    QStringList texts() const;
    QString text(int k) const;
    void setTexts(const QStringList &texts);
    bool isOn() const;
    void setOn(bool on);

    cSwitcher *switcher() const { return m_switch; }
    QLineEdit *edit(int k) const { return m_edits.value(k); }
    int textCount() const { return m_edits.size(); }
    // Whether text k holds more bytes than its field can keep.
    bool isOverlong(int k) const;

signals:
    // The user changed a text or flipped the switch.
    void edited();

private slots:
    void onTextEdited();
    void onSwitchClicked();

private:
    void markOverlong(QLineEdit *edit);

    int m_index;
    int m_fieldSize;
    cSwitcher *m_switch = nullptr;
    QList<QLineEdit *> m_edits;
};

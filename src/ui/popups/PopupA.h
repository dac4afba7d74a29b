#pragma once

#include "base/Timing.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class cParameter;

// The on-screen keypad that edits one cParameter. Entry is digits and a point only, limited
// in length, and checked against the parameter's range before it is stored.
class PopupA : public QWidget
{
    Q_OBJECT
public:
    // Key codes as the keypad numbers them.
    enum Key {
        KeyPoint = 10,
        KeyCancel = 11,
        KeyOK = 12,
        KeyDelete = 13,
        KeySign = 14,
    };

    explicit PopupA(QWidget *parent = nullptr,
                    int selectDelayMs = td::timing::keypadSelectDelay);

    // Prepares the keypad for aPar; false (and nothing changes) for a null parameter.
    bool setParameter(cParameter *aPar);
    cParameter *parameter() const { return m_parameter; }

    QString headerText() const;
    QString lineText() const;
    bool isFreshEntry() const { return m_fresh; }

    // Digits a number may have before its point: four, or as many as the range needs.
    int integerDigitLimit() const;

    void pressKey(int key);

public slots:
    void pb0_clicked();
    void pb1_clicked();
    void pb2_clicked();
    void pb3_clicked();
    void pb4_clicked();
    void pb5_clicked();
    void pb6_clicked();
    void pb7_clicked();
    void pb8_clicked();
    void pb9_clicked();
    void pbDot_clicked();
    void pbCancel_clicked();
    void pbDel_clicked();
    void pbOK_clicked();
    void pbSign_clicked();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPushButton *makeKey(const QString &name, const QString &text, const QString &accessible);
    void arrangeKeys(bool withPoint, bool withSign);
    QString boundsText() const;
    void setHeader(const QString &text);
    void typeDigit(int digit);
    void accept();

    QPointer<cParameter> m_parameter;
    QLineEdit *m_edit = nullptr;
    QLabel *m_header = nullptr;
    bool m_fresh = true;

    QGridLayout *m_keys = nullptr;
    QPushButton *m_digits[10] = {};
    QPushButton *m_dot = nullptr;
    QPushButton *m_sign = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_delete = nullptr;
    int m_selectDelay;
};

#include "ui/frame/AccessCodes.h"

#include "base/Log.h"

#include <QWidget>

namespace {

struct CodeRow
{
    const char *code;
    AccessCodes::Effect effect;
};

const QList<CodeRow> &table()
{
    static const QList<CodeRow> rows = {
        {"00493700", {{QStringLiteral("frOptions"), QStringLiteral("frFiles")}, {}, {}}},
        {"493",
         {{},
          {QStringLiteral("frAmplifier"), QStringLiteral("frAngleCorrection"), QStringLiteral("frSettingsHead"),
           QStringLiteral("frSettingsCalibrateRight"), QStringLiteral("frCalFiles")},
          {}}},
        {"5729",
         {{},
          {QStringLiteral("frTextFields_2"), QStringLiteral("frNewRecord"), QStringLiteral("frRangesView_2"),
           QStringLiteral("frMemory_2"), QStringLiteral("tabWheelUzel"), QStringLiteral("frEraseRecords"),
           QStringLiteral("frDatabaseT"), QStringLiteral("frMenuLevels"), QStringLiteral("frKeyName"),
           QStringLiteral("frWiFi"), QStringLiteral("leFind"), QStringLiteral("pbTemplatesFromJson"),
           QStringLiteral("pbTemplatesSave"), QStringLiteral("frSetup")},
          {}}},
        {"9417",
         {{},
          {QStringLiteral("frTextFields_2"), QStringLiteral("frNewRecord"), QStringLiteral("frMemory_2"),
           QStringLiteral("frEraseRecords")},
          {QStringLiteral("frRangesView_2")}}},
    };
    return rows;
}

} // namespace

bool AccessCodes::lookup(const QString &typed, Effect &effect)
{
    for (const CodeRow &row : table()) {
        if (typed == QLatin1String(row.code)) {
            effect = row.effect;
            return true;
        }
    }
    return false;
}

QStringList AccessCodes::guardedObjects()
{
    QStringList names;
    for (const CodeRow &row : table()) {
        for (const QStringList *list : {&row.effect.show, &row.effect.enable, &row.effect.disable}) {
            for (const QString &name : *list) {
                if (!names.contains(name))
                    names.append(name);
            }
        }
    }
    return names;
}

bool AccessCodes::apply(QWidget *root, const QString &typed)
{
    Effect all;
    for (const CodeRow &row : table())
        all.show += row.effect.show;

    // Each press starts from everything locked, so codes never accumulate.
    for (const QString &name : guardedObjects()) {
        QWidget *w = root->findChild<QWidget *>(name);
        if (!w) {
            td::log(QStringLiteral("AccessCodes: no control named ") + name);
            continue;
        }
        if (all.show.contains(name))
            w->hide();
        else
            w->setEnabled(false);
    }

    Effect effect;
    if (!lookup(typed, effect))
        return false;
    for (const QString &name : effect.show) {
        if (QWidget *w = root->findChild<QWidget *>(name))
            w->show();
    }
    for (const QString &name : effect.enable) {
        if (QWidget *w = root->findChild<QWidget *>(name))
            w->setEnabled(true);
    }
    for (const QString &name : effect.disable) {
        if (QWidget *w = root->findChild<QWidget *>(name))
            w->setEnabled(false);
    }
    return true;
}

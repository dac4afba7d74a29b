#pragma once

#include "history/HistoryService.h"

#include <QTest>

#include <optional>
#include <type_traits>

// Runs work on the history's thread and waits (a test may) for its answer; a default result
// when none came within timeoutMs.
template<typename Work>
auto onHistoryThread(HistoryService &service, Work work, int timeoutMs = 20000)
{
    using Result = std::invoke_result_t<Work, HistoryWorker &>;
    std::optional<Result> out;
    QObject receiver;
    service.ask(&receiver, std::move(work), [&out](Result r) { out = std::move(r); });
    if (!QTest::qWaitFor([&] { return out.has_value(); }, timeoutMs))
        qWarning("the history did not answer in time");
    return out ? *out : Result();
}

// Opens the service and waits for its answer.
inline bool openAndWait(HistoryService &service, const QString &url, QString *error = nullptr)
{
    std::optional<bool> ok;
    QObject receiver;
    QObject::connect(&service, &HistoryService::opened, &receiver, [&](bool opened, const QString &why) {
        ok = opened;
        if (error)
            *error = why;
    });
    service.openDatabase(url);
    if (!QTest::qWaitFor([&] { return ok.has_value(); }, 30000))
        qWarning("the history did not answer its opening in time");
    return ok.value_or(false);
}

#pragma once

#include "publish/MqttSettings.h"
#include "publish/PublishSource.h"

#include <QString>

#include <functional>

// Sends everything the source holds and returns once the broker has acknowledged all of it,
// or when the time runs out. For runs without a window (a nightly job, a station whose
// window is closed).
struct PublishDrainResult
{
    bool drained = false; // connected, and nothing is left waiting
    qint64 acknowledged = 0; // results acknowledged during this run
    qint64 remaining = 0;
    QString reason; // why not, for a person
};

// progress(done, total) after each change of the waiting count.
PublishDrainResult drainToBroker(PublishSource *source, const MqttSettings &settings, int timeoutMs,
                                 const std::function<void(qint64, qint64)> &progress = {});

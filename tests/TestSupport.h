#pragma once

#include "common/ErrorReporter.h"
#include "phrases/RandomSource.h"
#include "services/SystemServices.h"

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

// Collects reports instead of showing message boxes.
class RecordingReporter : public ErrorReporter
{
public:
    void report(const QString &message) override { messages.append(message); }
    QStringList messages;
};

// Draws the numbers it is given, in turn, and counts the reseeds.
class ScriptedRandom : public phrases::RandomSource
{
public:
    void reseed() override { ++reseeds; }
    float next() override
    {
        const float r = draws.isEmpty() ? 0.0f : draws.at(position % draws.size());
        ++position;
        return r;
    }
    // The draw that makes the 1..n pick land on k.
    static float pick(int k, int n) { return float((k - 0.5) / n); }

    QList<float> draws;
    int reseeds = 0;
    int position = 0;
};

// Remembers what would have been played and opened.
class RecordingServices : public SystemServices
{
public:
    void playSound(const QString &path) override
    {
        played.append(path);
        if (onPlay)
            onPlay();
    }
    void openAddress(const QString &address, WId owner) override
    {
        opened.append(address);
        owners.append(owner);
    }
    QStringList played;
    QStringList opened;
    QList<WId> owners;
    std::function<void()> onPlay;
};

// A scratch application folder.
class TestFolder
{
public:
    TestFolder();
    QString path() const { return dir_.path(); }
    QString file(const QString &name) const { return dir_.filePath(name); }
    void write(const QString &name, const QByteArray &content) const;
    void writePhoto(const QString &name, int width, int height) const;
    void remove(const QString &name) const;

private:
    QTemporaryDir dir_;
};

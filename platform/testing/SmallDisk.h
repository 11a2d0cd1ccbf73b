#pragma once

#include <QString>
#include <QTemporaryDir>

// A small filesystem of its own (a tmpfs of `size`, such as "3m") for a program folder that
// is to fill up; unmounted at the end. Mounting needs root: a test asks mounted() first and
// skips with notMounted() when it is not there.
class SmallDisk {
public:
    explicit SmallDisk(const QString& size);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    // Fills what room is left with a file of its own.
    void fill() const;

    // The reason a test skips when no small filesystem could be mounted.
    static QString notMounted();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

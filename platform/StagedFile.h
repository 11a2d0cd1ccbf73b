#pragma once

#include <QString>
#include <memory>

class QIODevice;

// A file written beside its place under a hidden temporary name (".NAME.XXXXXX") and put
// in place, over an older file of the same name, in one step when it is complete: a run
// that fails midway leaves neither a torn file nor a changed older one, and touches no
// other name of the folder.
//
//   StagedFile file(path);
//   write(file.open());     // the device to write to
//   file.commit();          // in place; KvError when it cannot be
//
// It does not wait for the disk itself (no fsync): a caller writing many files makes them
// durable at once (syncFolder), which costs one flush instead of one for each file.
class StagedFile {
public:
    explicit StagedFile(QString finalPath);
    ~StagedFile(); // an uncommitted temporary file goes
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Creates the temporary file, with the permissions a new file gets (or those of the
    // file it will replace, less what the umask takes off). Raises KvError naming the
    // final file.
    QIODevice& open();
    // Completes the file and renames it into place. Raises KvError naming the final file
    // (what the device reported, or why the rename failed); the temporary file is gone.
    void commit();
    // Removes the temporary file, if any.
    void discard() noexcept;

    const QString& finalPath() const { return m_final; }
    // The system's error number of the first write that failed; 0 when none did.
    int failure() const;

    // Waits until every file written in the folder's file system is on the disk.
    // False when the system reports a failure.
    static bool syncFolder(const QString& folder);
    // The error for a file that could not be written: the system's reason and, in
    // Portuguese, what it means and what to do.
    [[noreturn]] static void raise(const QString& finalPath, int errorNumber);

private:
    class Device;

    QString m_final;
    QString m_staged;
    std::unique_ptr<Device> m_device;
};

// Makes a folder refuse new files for the length of a test, for the tests of failed saves.
// Permission bits stop an ordinary user but not root, as the tests run in CI: the folder is
// then made immutable (the file-system flag that root cannot write through either).
#pragma once

#include <QString>

class ReadOnlyDir
{
public:
    explicit ReadOnlyDir(const QString &path);
    ~ReadOnlyDir();
    ReadOnlyDir(const ReadOnlyDir &) = delete;
    ReadOnlyDir &operator=(const ReadOnlyDir &) = delete;

    // False when the folder could not be made read-only on this machine (root on a file
    // system without the immutable flag, or without the right to set it).
    bool active() const;

private:
    QString m_path;
    bool m_immutable = false;
};

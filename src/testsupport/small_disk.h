#pragma once

// A real, small disk for tests of what happens when the disk fills up: a tmpfs
// of a few KiB mounted on a fresh folder (Linux, as root), removed again at the
// end. Where it cannot be mounted, `why` says so and the test skips itself.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_LINUX
#include <sys/mount.h>
#endif

namespace kestrin::testing {

class SmallDisk {
public:
    explicit SmallDisk(int kib)
    {
#ifdef Q_OS_LINUX
        if (!dir_.isValid()) {
            why = QStringLiteral("no temporary folder for the mount point");
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(kib) + "k,mode=0755";
        if (::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                    options.constData()) != 0) {
            why = QStringLiteral("cannot mount a %1 KiB tmpfs here (needs root): %2")
                      .arg(kib)
                      .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        mounted_ = true;
#else
        (void)kib;
        why = QStringLiteral("small disks are mounted on Linux only");
#endif
    }

    ~SmallDisk()
    {
#ifdef Q_OS_LINUX
        if (mounted_)
            ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
#endif
    }

    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return QDir(dir_.path()).filePath(name); }

    // Fills the disk with a file of that name until no more fits; its size.
    qint64 fill(const QString& name = QStringLiteral("filler"))
    {
        QFile filler(filePath(name));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return 0;
        const QByteArray block(512, 'f');
        while (filler.write(block) == block.size()) {
        }
        const qint64 size = filler.size();
        filler.close();
        return size;
    }

    // The files in the disk's folder, hidden ones (temporary files) too.
    QStringList entries() const
    {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

    QString why;

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

} // namespace kestrin::testing

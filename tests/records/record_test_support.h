#pragma once
// A program folder in a temporary directory, filled from the golden files.
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qarvel::records::test {

inline QByteArray golden(const char* name) {
    QFile f(QStringLiteral(QARVEL_TEST_DATA "/") + QString::fromUtf8(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

class ProgramFolder {
public:
    ProgramFolder() { EXPECT_TRUE(dir_.isValid()); }
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }
    void put(const QString& name, const QByteArray& bytes) const {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString& name) const {
        QFile f(file(name));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return f.readAll();
    }
    bool exists(const QString& name) const { return QFile::exists(file(name)); }

private:
    QTemporaryDir dir_;
};

}  // namespace qarvel::records::test

#pragma once
// Finds a window's controls the way a user names them: by object name.

#include <QList>
#include <QObject>
#include <QString>
#include <QtGlobal>

namespace bgconv::test_support {

// The one object of type T named `name` below `root`.  A missing control,
// one of another type or a name used twice ends the test program with a
// message that says which, rather than a crash on a null pointer.
template <typename T>
T& Widget(const QObject& root, const char* name) {
  const QList<T*> found = root.findChildren<T*>(QString::fromUtf8(name));
  if (found.size() != 1) {
    qFatal("%lld objects of type %s named \"%s\" below %s \"%s\", expected one", static_cast<long long>(found.size()),
           T::staticMetaObject.className(), name, root.metaObject()->className(), qPrintable(root.objectName()));
  }
  return *found.front();
}

}  // namespace bgconv::test_support

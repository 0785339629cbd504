#pragma once

#include <QString>
#include <functional>

// A file being written beside its target under a name no other run can
// take, held locked for as long as the object lives: a later run tells the
// left-over of a killed run, which it removes, from a part still being
// written, which it leaves alone. Removed again unless placed.
class PartFile {
  public:
    // Makes the part for target; throws AppError naming the folder when it
    // cannot be written there.
    explicit PartFile(const QString& target);
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    const QString& path() const { return m_path; }

    // Gives the part the target's name, never replacing a file that has
    // that name: then the next free name `next` proposes (from the taken
    // one), or, without `next`, AppError. Returns the name given.
    using NextName = std::function<QString(const QString& taken)>;
    QString place(const NextName& next = {});

    // Removes the parts (and their journals) that runs left in folder and
    // no longer write.
    static void removeStale(const QString& folder);

  private:
    QString m_target;
    QString m_path;
    int m_fd = -1;
    bool m_placed = false;
};

#pragma once

// What an edit screen is opened for; the calling screen passes it, with the
// key of the record, to the edit screen's constructor.
enum class EditMode { Add = 1, Edit = 2, Copy = 3 };

// The horizontal alignment the toolbar's three buttons give a paragraph or a cell. The
// numbers files use for it are converted where they are read and written.
#pragma once

enum class Alignment { Left, Centre, Right };

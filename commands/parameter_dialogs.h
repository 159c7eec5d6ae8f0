#pragma once
// The six parameter dialogs, created once and kept for the whole run, so their controls keep the
// operator's last entries.

class TForm3;
class TForm5;
class TForm6;
class TForm7;
class TForm9;
class TForm10;

namespace commands {

struct ParameterDialogs {
    TForm3& Form3;
    TForm5& Form5;
    TForm6& Form6;
    TForm7& Form7;
    TForm9& Form9;
    TForm10& Form10;
};

}  // namespace commands

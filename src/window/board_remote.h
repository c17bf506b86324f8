#pragma once

#include "remote/board_service.h"

class TForm1;

// Carries the commands of the remote service out on the board window. A command that opens a
// dialog, a box or a window, or that would ask first, runs once the reply has gone, so that the
// caller is never kept waiting on the user; the others run at once, and file commands report
// their failure to the caller instead of in a box.
class BoardRemote : public remote::Target {
public:
    explicit BoardRemote(TForm1& form) : form_(form) {}
    QString run(const remote::CommandInfo& command, const QByteArray& argument, bool yes) override;

private:
    QString runControl(const remote::CommandInfo& command, bool yes);
    void later(void (TForm1::*handler)());

    TForm1& form_;
};

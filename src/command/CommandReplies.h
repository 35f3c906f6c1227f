#pragma once

#include "link/LinkSettings.h"
#include "operations/LinkError.h"
#include "operations/ReplyReaders.h"

#include <QByteArray>
#include <QStringList>

#include <string>
#include <string_view>

class PrinterLink;

// Sends the bytes as operation 14 does (one block, in the progress window) and, on links
// that can be read, collects what the printer answers within the window into `replies`,
// in the same connection. Nothing is read over the parallel port.
LinkError SendAndCollectReplies(PrinterLink& link, InterfaceKind kind, const QByteArray& bytes,
                                const ReplyWindow& window, std::string& replies);

// The collected bytes as readable lines. A framed reply "{n|data}" is one line, its data
// between braces; other bytes are shown as they come, with printable characters as
// themselves, CR LF ending a line and every other control byte as <XX> in hexadecimal.
QStringList DescribeReplies(std::string_view bytes);

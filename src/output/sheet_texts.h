#pragma once

#include <QString>

namespace kestrin {

// The head and foot lines that every worksheet shares.

// "学校：", 18 blanks, "姓名：", 15 blanks, "成绩：", 11 blanks (53 characters).
QString fileHeader();
// The same with 19 blanks after "学校：" (54 characters).
QString printedHeader();
// "重庆市KestrinV2.0提供  第" page "页" and the credit text.
QString footer(long long page);
// The credit text that ends every footer.
QString footerCredit();

// `count` copies of `piece`.
QString repeated(const QString& piece, long long count);

} // namespace kestrin

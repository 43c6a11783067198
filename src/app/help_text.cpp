#include "app/help_text.h"

#include <QStringList>

namespace kestrin::app {

QString helpText()
{
    static const QStringList lines = {
        QStringLiteral("KestrinV2.0"),
        QString(),
        QStringLiteral("该系统是根据重庆市速算竞赛要求，设计生成的自动出题系统。"),
        QString(),
        QStringLiteral("软件说明：1.能自动生成学前段，小学低、中、高段的加减速算题。"),
        QString(),
        QStringLiteral("2.该题可直接生成输出到打印机，无需任何设置；也可将题自动导入到EXCEL软件里，简单修改，即可打印。"),
        QString(),
        QStringLiteral("3.生成的题如果是用Excel导出，不要直接双击该文件进入。而是先打开Excel，再从Excel里打开该文件，此时"),
        QStringLiteral("会出现“文本导入向导”，这时直接点击“完成”即可。再进入Excel将引入“替换”为空格将引号去掉，再根"),
        QStringLiteral("据自己的需要调整宽度、高度、字体、字号，还可设页眉、页脚。"),
        QString(),
        QStringLiteral("4.如果需要题和答案同时输出，只需分两次生成即可。使用中如发现不足之处，恳请批评指正，并提出宝贵的意见和建议。"),
        QString(),
        QStringLiteral("5.每次生成的题目都由电脑随机产生：加减题的得数不会是负数，除法题都能整除，乘法题的因数位数可以自由设定。"),
        QStringLiteral("本系统每次启动后第一次生成的题目都相同，再次生成才会得到新的题目。"),
        QStringLiteral("生成的Excel文件保存在启动本系统时所在的文件夹里，新生成的文件会替换同名的旧文件。"),
        QStringLiteral("直接打印时使用系统的默认打印机：一页题目太宽时自动缩小，太长时接着印在下一张纸上。"),
        QString(),
        QStringLiteral("6.最后，无论你通过何种途径使用何版本，都感谢你对本人的支持。谢谢！"),
        QString(),
        QStringLiteral("Kestrin小学数学速算自动出题系统"),
        QStringLiteral("版本：V2.0"),
        QString(),
        QStringLiteral("意见和建议：请通过您获得本系统的渠道反馈，"),
        QStringLiteral("或转告为您安装本系统的学校电教管理员。"),
        QString(),
        QStringLiteral("欢迎使用，祝教学顺利！"),
        QString(),
    };
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

} // namespace kestrin::app

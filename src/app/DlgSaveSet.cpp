#include "app/DlgSaveSet.h"

#include "app/DialogKit.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
struct Choice {
    const char16_t* id;
    const char16_t* text;
};

// A row of radio buttons in one group; the button's id in the group is its position.
QButtonGroup* AddChoices(QFormLayout* form, std::initializer_list<Choice> choices, int checked)
{
    auto* row = new QWidget(form->parentWidget());
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* group = new QButtonGroup(row);
    int position = 0;
    for (const Choice& choice : choices) {
        auto* radio = new QRadioButton(QString::fromUtf16(choice.text), row);
        radio->setObjectName(QString::fromUtf16(choice.id));
        group->addButton(radio, position);
        layout->addWidget(radio);
        ++position;
    }
    layout->addStretch();
    if (QAbstractButton* button = group->button(checked)) button->setChecked(true);
    form->addRow(QString(), row);
    return group;
}

// A naming text's box takes no more than its field keeps, so nothing typed is cut unseen.
QLineEdit* AddNameRow(QFormLayout* form, const QString& id, const QString& label, const QString& text)
{
    QLineEdit* edit = DialogKit::AddTextRow(form, id, label, text);
    edit->setMaxLength(kNameFieldMaxChars);
    return edit;
}

const QString kPlaceholderHelp = u"前缀和后缀里可以用：?1 相册名，?2 图片序号，?3 相册序号，?4 ?5 相册的两个参数，"
                                 "?6 本次下载的相册数，?7 相册总数，?8 主人名。相册路径里 ?2 是相册序号。"_s;
} // namespace

CDlgSaveSet::CDlgSaveSet(ST_NAMESET& nameSet, const QString& service, QWidget* parent)
    : QDialog(parent), m_pNameSet(&nameSet), m_nNameChoice(nameSet.nNameSource), m_nDirChoice(nameSet.nDirSource)
{
    setObjectName(u"130"_s);
    setWindowTitle(u"设置"_s);
    auto* help = new QLabel(u"<a href=\"#\">前后缀说明</a>"_s, this);
    help->setObjectName(u"1010"_s);
    help->setToolTip(kPlaceholderHelp);
    // It looks like a link, so a click shows what it explains.
    connect(help, &QLabel::linkActivated, this,
            [this] { QMessageBox::information(this, u"前后缀说明"_s, kPlaceholderHelp); });
    auto* named = new QLabel(u"文件名设置（%1）"_s.arg(service), this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(named);
    layout->addWidget(MakeFileGroup());
    layout->addWidget(MakeFolderGroup());
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(DialogKit::OkButton(this, [this] { OnOk(); }));
    layout->addLayout(buttons);
}

QWidget* CDlgSaveSet::MakeFileGroup()
{
    auto* group = new QGroupBox(u"文件名"_s, this);
    auto* form = new QFormLayout(group);
    m_prefix = AddNameRow(form, u"1000"_s, u"前缀"_s, FieldText(m_pNameSet->szPrefix));
    m_nameChoices = AddChoices(form, {{u"1016", u"描述"}, {u"1017", u"序号"}, {u"1018", u"网址"}}, m_nNameChoice);
    m_suffix = AddNameRow(form, u"1001"_s, u"后缀"_s, FieldText(m_pNameSet->szSuffix));
    m_replaceFrom = AddNameRow(form, u"1021"_s, u"替换"_s, FieldText(m_pNameSet->szReplaceFrom));
    m_replaceTo = AddNameRow(form, u"1022"_s, u"替换为"_s, FieldText(m_pNameSet->szReplaceTo));
    return group;
}

QWidget* CDlgSaveSet::MakeFolderGroup()
{
    auto* group = new QGroupBox(u"相册路径(相册名)"_s, this);
    auto* form = new QFormLayout(group);
    m_dirPrefix = AddNameRow(form, u"1002"_s, u"前缀"_s, FieldText(m_pNameSet->szDirPrefix));
    m_dirChoices = AddChoices(form, {{u"1019", u"相册名"}, {u"1020", u"无"}}, m_nDirChoice);
    m_dirSuffix = AddNameRow(form, u"1003"_s, u"后缀"_s, FieldText(m_pNameSet->szDirSuffix));
    return group;
}

void CDlgSaveSet::OnOk()
{
    m_nNameChoice = std::max(0, m_nameChoices->checkedId());
    m_nDirChoice = std::clamp(m_dirChoices->checkedId(), 0, 1);
    StoreNameText(m_pNameSet->szPrefix, m_prefix->text());
    StoreNameText(m_pNameSet->szSuffix, m_suffix->text());
    StoreNameText(m_pNameSet->szReplaceFrom, m_replaceFrom->text());
    StoreNameText(m_pNameSet->szReplaceTo, m_replaceTo->text());
    StoreNameText(m_pNameSet->szDirPrefix, m_dirPrefix->text());
    StoreNameText(m_pNameSet->szDirSuffix, m_dirSuffix->text());
    m_pNameSet->nNameSource = std::uint8_t(m_nNameChoice);
    m_pNameSet->nDirSource = std::uint8_t(m_nDirChoice);
    accept();
}

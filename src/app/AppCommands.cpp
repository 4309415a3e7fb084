#include "app/AppCommands.h"

#include <string_view>

namespace NsOvrin {

namespace {

struct Prompt {
  int id;
  const char* text;
};

constexpr Prompt kPrompts[] = {
    {ID_FILE_NEW, "创建新页面\n新建"},
    {ID_FILE_OPEN, "打开现有工程\n打开"},
    {ID_FILE_SAVE, "保存活动文档\n保存"},
    {ID_FILE_SAVE_AS, "另存工程为\n另存为"},
    {ID_FILE_PRINT_SETUP, "更改打印机选项和打印选项\n页面设置"},
    {ID_FILE_PRINT, "打印活动文档\n打印"},
    {ID_FILE_PRINT_PREVIEW, "显示整页\n打印预览"},
    {ID_NEW_PROJECT, "创建新的工程\n新建"},
    {ID_APP_ABOUT, "显示程序信息、版本号和版权信息\n关于"},
    {ID_APP_EXIT, "退出应用程序；提示保存文档\n退出"},
    {ID_EDIT_UNDO, "撤消上一个操作\n撤消"},
    {ID_EDIT_CUT, "剪切所选内容，将其放入剪贴板\n剪切"},
    {ID_EDIT_COPY, "复制所选内容，将其放入剪贴板\n复制"},
    {ID_EDIT_PASTE, "插入剪贴板内容\n粘贴"},
    {ID_WINDOW_NEW, "为活动文档打开另一个窗口\n新建窗口"},
    {ID_WINDOW_SPLIT, "将活动窗口拆分为多个窗格\n拆分"},
    {ID_VIEW_STATUS_BAR, "显示或隐藏状态栏\n切换状态栏"},
    {ID_SHOW_IO_ADDR, "显示元件地址"},
    {32769, "取消选择\n鼠标"},
    {32770, "创建文字\n文字"},
    {32771, "创建数字输入框\n数字输入框"},
    {32772, "创建文字输入框\n文字输入框"},
    {32773, "创建按钮\n按钮"},
    {32774, "换页面按钮\n页面按钮"},
    {32775, "绘制一个面板\n面板"},
    {32776, "图片\n图片"},
    {32777, "页面导航\n导航栏"},
    {32778, "当前警报列表\n当前警报"},
    {32779, "多状态文字\n多状态文字"},
    {32780, "历史警报列表\n历史警报"},
    {32781, "用户登录/登出按钮\n用户登录"},
    {32782, "多功能按钮\n多功能按钮"},
    {32783, "显示I/O表\nI/O表"},
    {32807, "左对齐"},
    {32808, "右对齐"},
    {32809, "上对齐"},
    {32810, "下对齐"},
    {32811, "平分多个控件水平间隔\n平分水平间隔"},
    {32812, "平分多个控件垂直间隔\n平分垂直间隔"},
    {32813, "使控件等宽\n等宽"},
    {32814, "使控件等高\n等高"},
    {32815, "使控件等尺寸\n等尺寸"},
    {32816, "移动到底层"},
    {32817, "移动到顶层"},
    {ID_CONNECT_PLC, "连接到PLC\n连接"},
    {ID_DOWNLOAD, "下载到设备\n下载"},
};

}  // namespace

const char* GetCommandPrompt(int id) {
  for (const Prompt& prompt : kPrompts) {
    if (prompt.id == id) return prompt.text;
  }
  return nullptr;
}

std::string GetCommandStatusTip(int id) {
  const char* prompt = GetCommandPrompt(id);
  if (prompt == nullptr) return {};
  const std::string_view text(prompt);
  return std::string(text.substr(0, text.find('\n')));
}

std::string GetCommandToolTip(int id) {
  const char* prompt = GetCommandPrompt(id);
  if (prompt == nullptr) return {};
  const std::string_view text(prompt);
  const std::size_t newline = text.find('\n');
  return std::string(newline == std::string_view::npos ? text : text.substr(newline + 1));
}

}  // namespace NsOvrin

#include "server/scrape/scrape_layout.h"

namespace qm {

ScrapeLayout inSchoolListLayout() {
  ScrapeLayout l;
  l.pagerTextId = "l5-gen55";
  l.nextButtonId = "l5-gen59";
  l.pageInputId = "l5-gen54";
  l.headerTable = 6;
  l.lastTable = 26;
  l.firstCell = 3;
  l.lastCell = 15;
  l.widths = {"9.75", "20.63", "19.5", "4.88", "6.5", "16.53", "6.5", "30.25", "17.38", "17.38", "15.38", "8.13", "4.88"};
  l.startFailedMessage =
      "抓取出错，可能是没有打开查询在校生网页！\r"
      "请先点击软件最上面“抓取在校生”按钮左边的“查询在校生”按钮，打开单独的在校生查询页面。";
  l.exportFailedMessage = "导出失败！可能您安装的Office是精简版？";
  return l;
}

ScrapeLayout auditListLayout(int userType) {
  ScrapeLayout l;
  if (userType == 1) {
    l.pagerTextId = "l5-gen35";
    l.nextButtonId = "l5-gen39";
    l.pageInputId = "l5-gen34";
  } else {
    l.pagerTextId = "l5-gen34";
    l.nextButtonId = "l5-gen38";
    l.pageInputId = "l5-gen33";
  }
  l.headerTable = 3;
  l.lastTable = 23;
  l.firstCell = 2;
  l.lastCell = 11;
  l.widths = {"9.75", "20.63", "23.25", "4.88", "8", "8.13", "18.75", "17.38", "18.5", "23.25"};
  l.startFailedMessage = auditStartFailedMessage();
  l.exportFailedMessage = "导出失败！可能您安装的Office是精简版或WPS？";
  return l;
}

std::string auditStartFailedMessage() {
  return "抓取出错，可能是没有打开异动审核网页！请先点击上端的“异动审核”按钮打开独立网页后再抓取！";
}

ScrapeLayout studentDetailsLayout() {
  ScrapeLayout l;
  l.pagerTextId = "l5-gen49";
  l.nextButtonId = "l5-gen53";
  l.pageInputId = "l5-gen48";
  l.headerTable = 4;
  l.lastTable = 24;
  l.firstCell = 3;
  l.lastCell = 11;
  l.idCell = 2;
  l.schoolCell = 11;
  l.widths = {"9.75", "20.63", "19.5", "4.88", "12.5", "8.13", "26.63", "17.38", "30.25",
              "8.38", "12.88", "11.5", "10", "13.13"};
  l.extraTitles = {"出生日期", "户口所在地", "户口类型", "监护人姓名", "班级"};
  l.stopAfterEveryRow = true;
  l.startFailedMessage = "抓取出错，可能是没有打开查询在校生网页！";
  l.exportFailedMessage = "导出失败！可能您安装的Office是精简版？";
  return l;
}

std::string nextPageTimeoutMessage(int page, int seconds) {
  return "等待网页翻到第" + std::to_string(page) + "页已超过" + std::to_string(seconds) +
         "秒，抓取已停止。请检查网络或网页后再试。";
}

}  // namespace qm

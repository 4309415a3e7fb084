{
  "ver": 100,
  "size": {"width": 640.0, "height": 480.0},
  "home-page": "页面1",
  "server-ip-address": "",
  "page-list": [{"name": "页面1"}, {"name": "页面2"}, {"name": "页面3"}, {"name": "页面4"}]
}

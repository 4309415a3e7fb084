{
  "ver": 100,
  "comment": "keys the reader does not know are ignored",
  "size": {"width": 800.0, "height": 600.0},
  "home-page": "页面2",
  "server-ip-address": "192.168.1.100",
  "page-list": [
    {"name": "页面1"},
    {"name": "页面2"},
    {"name": "报警"}
  ]
}

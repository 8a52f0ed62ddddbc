#!/usr/bin/env python3
"""Draws the icon library shipped beside the program: a dozen folder icons,
each with 16, 32 and 48 pixel images (32 bits per pixel with alpha).
Run it to regenerate resources/Icons/*.ico; the results are committed."""
import math
import os
import sys

from artwork import ico, supersample

SIZES = (16, 32, 48)
SUPERSAMPLE = 4


def inside_rounded_rect(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def star(x, y, cx=0.66, cy=0.64, r=0.22):
    a = math.atan2(y - cy, x - cx) + math.pi / 2
    d = math.hypot(x - cx, y - cy)
    k = (a % (2 * math.pi / 5)) / (2 * math.pi / 5)
    edge = r * (0.5 + 0.5 * abs(1 - 2 * k))
    return d <= edge


def heart(x, y, cx=0.66, cy=0.62, s=0.2):
    u = (x - cx) / s
    v = -(y - cy) / s + 0.3
    return (u * u + v * v - 1) ** 3 - u * u * v ** 3 <= 0


def circle(x, y, cx=0.66, cy=0.64, r=0.2):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(x, y):
    d = math.hypot(x - 0.66, y - 0.64)
    return 0.11 <= d <= 0.21


def check(x, y):
    def seg(px, py, ax, ay, bx, by, w):
        dx, dy = bx - ax, by - ay
        t = max(0, min(1, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
        return math.hypot(px - ax - t * dx, py - ay - t * dy) <= w
    return seg(x, y, 0.50, 0.64, 0.61, 0.76, 0.05) or seg(x, y, 0.61, 0.76, 0.84, 0.50, 0.05)


def plus(x, y):
    return (abs(x - 0.66) <= 0.05 and abs(y - 0.64) <= 0.2) or (abs(y - 0.64) <= 0.05 and abs(x - 0.66) <= 0.2)


def triangle(x, y):
    return x >= 0.54 and abs(y - 0.64) <= (0.84 - x) * 0.7 and x <= 0.84


def diamond(x, y):
    return abs(x - 0.66) + abs(y - 0.64) <= 0.21


def note(x, y):
    head = (x - 0.6) ** 2 / 0.007 + (y - 0.78) ** 2 / 0.004 <= 1
    stem = 0.66 <= x <= 0.7 and 0.45 <= y <= 0.78
    flag = 0.66 <= x <= 0.82 and 0.45 <= y <= 0.52
    return head or stem or flag


def mountain(x, y):
    frame = inside_rounded_rect(x, y, 0.46, 0.46, 0.88, 0.84, 0.03)
    inner = inside_rounded_rect(x, y, 0.5, 0.5, 0.84, 0.8, 0.01)
    peak = y >= 0.8 - (0.26 - abs(x - 0.64)) and y <= 0.8
    return frame and (not inner or peak)


def bars(x, y):
    for i, h in enumerate((0.16, 0.26, 0.36)):
        x0 = 0.5 + i * 0.12
        if x0 <= x <= x0 + 0.08 and 0.82 - h <= y <= 0.82:
            return True
    return False


def bolt(x, y):
    p = [(0.7, 0.42), (0.52, 0.67), (0.64, 0.67), (0.58, 0.88), (0.82, 0.58), (0.69, 0.58), (0.76, 0.42)]
    inside = False
    j = len(p) - 1
    for i in range(len(p)):
        xi, yi = p[i]
        xj, yj = p[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


# name, folder colour, emblem colour, emblem
ICONS = [
    ("Звезда", (242, 190, 60), (214, 40, 40), star),
    ("Сердце", (242, 170, 190), (200, 20, 60), heart),
    ("Музыка", (120, 170, 240), (30, 50, 120), note),
    ("Фото", (130, 200, 130), (30, 90, 40), mountain),
    ("Готово", (110, 200, 110), (255, 255, 255), check),
    ("Новое", (110, 180, 230), (255, 255, 255), plus),
    ("Видео", (200, 120, 220), (255, 255, 255), triangle),
    ("Важное", (240, 120, 90), (255, 240, 120), diamond),
    ("Архив", (170, 150, 120), (90, 70, 40), ring),
    ("Отчёты", (150, 160, 180), (40, 110, 200), bars),
    ("Проекты", (250, 210, 90), (40, 40, 40), bolt),
    ("Личное", (120, 210, 200), (250, 250, 250), circle),
]


def folder_pixel(x, y, body):
    """The folder shape: a tab at the top left and a body below; None outside."""
    tab = inside_rounded_rect(x, y, 0.06, 0.16, 0.46, 0.34, 0.05)
    back = inside_rounded_rect(x, y, 0.06, 0.24, 0.94, 0.86, 0.06)
    front = inside_rounded_rect(x, y, 0.06, 0.34, 0.94, 0.86, 0.06)
    if front:
        shade = 1.0 - 0.18 * (y - 0.34) / 0.52
        return tuple(min(255, int(c * shade)) for c in body)
    if back or tab:
        return tuple(int(c * 0.8) for c in body)
    return None


def render(size, body, mark, emblem):
    """The emblem over the folder; shapes are drawn in the unit square."""
    def colour_at(x, y):
        u, v = x / size, y / size
        if emblem(u, v):
            return mark + (255,)
        colour = folder_pixel(u, v, body)
        return colour + (255,) if colour else None
    return supersample(size, colour_at, SUPERSAMPLE)


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources", "Icons")
    os.makedirs(target, exist_ok=True)
    for name, body, mark, emblem in ICONS:
        with open(os.path.join(target, name + ".ico"), "wb") as f:
            f.write(ico(*(render(size, body, mark, emblem) for size in SIZES)))


if __name__ == "__main__":
    main()

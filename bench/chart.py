"""A small SVG bar chart of benchmark figures as ratios to the floor (shorter is better)."""

from xml.sax.saxutils import escape

COLOURS = {"kiosk": "#2f6fd0", "floor": "#9aa5b4", "chromium": "#d98b2b"}
OTHER_COLOURS = ["#8fb3e8", "#5d8fd9", "#b9cdea"]


def colour(name, names):
    others = [n for n in names if n not in COLOURS]
    return COLOURS.get(name) or OTHER_COLOURS[others.index(name) % len(OTHER_COLOURS)]


def bars(summary, names, figures):
    figures = [f for f in figures if all(f in summary.get(n, {}) for n in ("floor",))]
    bar_width, height, top, left = 36, 220, 40, 40
    group_width = (bar_width + 4) * len(names) + 30
    width = left + group_width * len(figures) + 20
    scale = height / max(summary[n][f][0] / summary["floor"][f][0]
                         for f in figures for n in names if f in summary.get(n, {}))
    parts = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{top + height + 60}" '
             'font-family="DejaVu Sans, sans-serif" font-size="11">',
             f'<rect width="{width}" height="{top + height + 60}" fill="#ffffff"/>',
             '<text x="10" y="18" font-size="13">Ratio to the floor (a minimal GTK + WebKitGTK window); '
             'lower is better</text>']
    baseline = top + height
    floor_y = baseline - scale
    parts.append(f'<line x1="{left}" x2="{width - 10}" y1="{floor_y:.1f}" y2="{floor_y:.1f}" stroke="#9aa5b4" '
                 'stroke-dasharray="4 3"/>')
    for index, figure in enumerate(figures):
        x0 = left + index * group_width + 10
        present = [n for n in names if figure in summary.get(n, {})]
        for slot, name in enumerate(present):
            median = summary[name][figure][0]
            ratio = median / summary["floor"][figure][0]
            x, h = x0 + slot * (bar_width + 4), ratio * scale
            parts.append(f'<rect x="{x}" y="{baseline - h:.1f}" width="{bar_width}" height="{h:.1f}" '
                         f'fill="{colour(name, names)}"/>')
            parts.append(f'<text x="{x + bar_width / 2}" y="{baseline - h - 4:.1f}" text-anchor="middle">'
                         f'{ratio:.2f}</text>')
        parts.append(f'<text x="{x0 + (bar_width + 4) * len(present) / 2}" y="{baseline + 16}" '
                     f'text-anchor="middle">{escape(figure)}</text>')
    for slot, name in enumerate(names):
        x = left + slot * 130
        parts.append(f'<rect x="{x}" y="{baseline + 34}" width="12" height="12" fill="{colour(name, names)}"/>')
        parts.append(f'<text x="{x + 16}" y="{baseline + 44}">{escape(name)}</text>')
    parts.append("</svg>\n")
    return "\n".join(parts)

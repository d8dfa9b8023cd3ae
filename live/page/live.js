// The clock's face, kept up to date over a WebSocket from the program. Read
// only, but for the director's phone, paired once with a token from the
// clock's pairing window, whose key lets its presses through. It tells a lost clock from a paused one by
// the program's heartbeat, and finds the program again by itself.
'use strict';

(() => {
    const SilenceMs = 5000; // the program speaks at least every 2 s
    const FirstRetryMs = 500;
    const LastRetryMs = 8000;

    const face = document.getElementById('face');
    const status = document.getElementById('status');
    const awake = document.getElementById('awake');
    const controls = new Map();
    let line = null;
    // The design's rows by name, with their place in the design's order; a
    // control is made when a face first names it, as a clock makes some
    // labels only when it needs them.
    let designed = new Map();
    let designSize = { width: 1, height: 1 };

    const share = (value, whole) => `${(100 * value) / whole}%`;
    function place(element, box) {
        element.style.setProperty('--left', share(box.left, designSize.width));
        element.style.setProperty('--top', share(box.top, designSize.height));
        element.style.setProperty('--row', String(box.stackRow));
    }

    // The clock's design, sent before its first face: each label's box in
    // twips, its font and its row on an upright phone.
    function build(design) {
        face.replaceChildren();
        controls.clear();
        designSize = { width: design.width, height: design.height };
        designed = new Map((design.labels || []).map((label, index) => [label.name, { label, index }]));
        face.style.setProperty('--dw', String(design.width));
        face.style.setProperty('--dh', String(design.height));
        line = document.createElement('div');
        line.id = 'line';
        place(line, design.line);
        line.style.setProperty('--w', share(design.line.width, design.width));
        line.style.setProperty('--px', String(design.line.pixels));
        face.append(line);
    }

    // The element of a control the design has a row for, made the first time
    // it is asked for; null for a name the design does not know.
    function control(name) {
        const known = controls.get(name);
        if (known)
            return known;
        const row = designed.get(name);
        if (!row)
            return null;
        const { label, index } = row;
        const element = document.createElement('div');
        element.className = 'control';
        element.classList.toggle('fit', label.centred);
        element.classList.toggle('italic', label.italic);
        element.dataset.name = name;
        element.dataset.index = String(index);
        place(element, label);
        element.style.setProperty('--w', share(label.width, designSize.width));
        element.style.setProperty('--pt', String(label.points));
        element.style.setProperty('--size', String(label.stackSize));
        // In the design's order, so that what overlaps lies as on the clock;
        // the line over all of them.
        const after = [...controls.values()].find((other) => Number(other.dataset.index) > index);
        face.insertBefore(element, after || line);
        controls.set(name, element);
        return element;
    }

    // The director's phone: its buttons, its pairing and its presses, below.
    const remote = document.getElementById('remote');
    const remoteStatus = document.getElementById('remoteStatus');

    const messages = {
        connecting: 'Connecting to the clock\u2026',
        lost: 'The clock cannot be reached. Trying again\u2026',
        off: 'The clock is no longer shared.',
    };

    function render(state) {
        let shownChanged = false;
        for (const [name, shown] of Object.entries(state.controls || {})) {
            const known = controls.has(name);
            const element = control(name);
            if (!element)
                continue;
            element.style.color = shown.color;
            if (!known || element.hidden !== !shown.visible) {
                element.hidden = !shown.visible;
                shownChanged = true;
            }
            if (element.textContent !== shown.text) {
                // A text of more lines, or fewer, moves the rows below it.
                const lines = (text) => text.split('\n').length;
                if (lines(element.textContent) !== lines(shown.text))
                    shownChanged = true;
                element.textContent = shown.text;
                if (!shownChanged)
                    fitText(element);
            }
        }
        if (line)
            line.style.visibility = state.ended ? 'hidden' : 'visible';
        // A control shown or hidden moves the others on an upright phone.
        if (shownChanged)
            fitFace();
        levels.follow(state);
        renderRemote(state);
    }

    function show(state) {
        document.body.dataset.state = state;
        status.textContent = messages[state] || '';
    }

    let socket = null;
    let silence = 0;
    let retry = 0;
    let retryMs = FirstRetryMs;
    let shared = true; // false once the program said it stopped sharing

    function drop() {
        clearTimeout(silence);
        if (socket) {
            socket.onmessage = socket.onclose = socket.onerror = null;
            socket.close();
            socket = null;
        }
    }

    // Lost or turned off: say so at once, then try again, less and less often.
    function lost() {
        drop();
        show(shared ? 'lost' : 'off');
        clearTimeout(retry);
        retry = setTimeout(connect, retryMs);
        retryMs = Math.min(retryMs * 2, LastRetryMs);
    }

    function heard(event) {
        clearTimeout(silence);
        silence = setTimeout(lost, SilenceMs);
        let state;
        try {
            state = JSON.parse(event.data);
        } catch {
            return;
        }
        if ('design' in state) {
            build(state.design);
            // Sent first on every connection: the rounds may have changed
            // while the page was away.
            levels.load();
            return;
        }
        if ('sound' in state || 'say' in state) {
            announce(state);
            return;
        }
        if ('control' in state) {
            heardControl(state);
            return;
        }
        if ('paired' in state) {
            heardPairing(state);
            return;
        }
        if (state.shared === false) {
            shared = false;
            retryMs = LastRetryMs;
            lost();
            return;
        }
        shared = true;
        retryMs = FirstRetryMs;
        show('live');
        render(state);
    }

    function connect() {
        drop();
        const scheme = location.protocol === 'https:' ? 'wss:' : 'ws:';
        socket = new WebSocket(`${scheme}//${location.host}/live`);
        socket.onmessage = heard;
        socket.onopen = remoteOpened;
        socket.onclose = socket.onerror = lost;
        silence = setTimeout(lost, SilenceMs);
    }

    // Sound: browsers play nothing before a tap, so the page is silent until
    // its switch is on. It then plays and says what the program tells it to,
    // when it tells it to: the page keeps no time of its own.
    const soundSwitch = document.getElementById('sound');
    const sounds = new Map([['alert', new Audio('/alert.wav')], ['warning', new Audio('/warning.wav')]]);
    const voice = 'speechSynthesis' in window ? window.speechSynthesis : null;
    let soundOn = false;

    soundSwitch.addEventListener('click', () => {
        soundOn = !soundOn;
        soundSwitch.setAttribute('aria-pressed', String(soundOn));
        if (!soundOn) {
            for (const audio of sounds.values())
                audio.pause();
            if (voice)
                voice.cancel();
            return;
        }
        // Started within the tap, silently, so that the browser lets them
        // play later without one.
        for (const audio of sounds.values()) {
            audio.muted = true;
            audio.play().then(() => audio.pause()).catch(() => {}).finally(() => {
                audio.muted = false;
            });
        }
        if (voice)
            voice.speak(new SpeechSynthesisUtterance(''));
    });

    // {"sound": "alert" | "warning"} or {"say": sentence}.
    function announce(message) {
        if (!soundOn)
            return;
        const audio = sounds.get(message.sound);
        if (audio) {
            audio.currentTime = 0;
            audio.muted = false;
            audio.play().catch(() => {});
        }
        if (typeof message.say === 'string' && voice) {
            // The newest news replaces what is still being said.
            voice.cancel();
            const sentence = new SpeechSynthesisUtterance(message.say);
            sentence.lang = 'en';
            voice.speak(sentence);
        }
    }

    // The director's phone. The pairing window's address holds a one-time
    // token in its fragment, which a browser never sends in a request; the
    // page trades it over its WebSocket for a key of its own, kept in this
    // browser, so that a reload stays paired, and sends the key with every
    // press. Each press has an id of its own and is sent again, with that id,
    // over a new connection when its answer was lost: the program does a
    // press once, however often it comes.
    const KeyStored = 'orvandel.key';
    const ConfirmMs = 3000; // for the second tap of a level move
    const NoteMs = 2500;
    const RetryForMs = 20000; // a press older than this is not sent again
    const ConfirmFirst = new Set(['next', 'previous', 'restart']);
    const PlayerActions = new Set(['out', 'entry', 'rebuy', 'addOn', 'undoCount']);
    const buttons = [...remote.querySelectorAll('button[data-action]')];
    const token = new URLSearchParams(location.hash.slice(1)).get('key') || '';
    let key = storedKey();
    let pairing = token !== '';
    let controlling = key !== '' && !pairing;
    let pending = []; // presses sent and not answered yet, the oldest first
    let lastState = null;
    let armed = null; // a level move's button waiting for its second tap
    let noteUntil = 0;

    function storedKey() {
        try {
            return localStorage.getItem(KeyStored) || '';
        } catch {
            return ''; // storage refused: paired until the page is left
        }
    }

    function storeKey(value) {
        try {
            if (value)
                localStorage.setItem(KeyStored, value);
            else
                localStorage.removeItem(KeyStored);
        } catch {
            // Kept for this page only.
        }
    }

    function pressId() {
        const bytes = crypto.getRandomValues(new Uint8Array(16));
        return Array.from(bytes, (b) => b.toString(16).padStart(2, '0')).join('');
    }

    // A word for a moment in place of the clock's state.
    function note(text) {
        noteUntil = Date.now() + NoteMs;
        remoteStatus.textContent = text;
        setTimeout(() => {
            if (lastState && Date.now() >= noteUntil)
                renderRemote(lastState);
        }, NoteMs);
    }

    function renderRemote(state) {
        lastState = state;
        if (!controlling)
            return;
        // What the clock shows, not what was pressed.
        if (Date.now() >= noteUntil) {
            remoteStatus.textContent = state.ended ? 'The tournament has ended.'
                : state.paused ? 'The clock is paused.' : 'The clock is running.';
        }
        remote.dataset.paused = state.paused ? 'true' : 'false';
        // The moves that cannot act now, greyed as on the clock's menu.
        const can = {
            next: !state.ended && state.level < state.levelCount,
            previous: !state.ended && state.level > 1,
            restart: !state.ended,
            addMinute: !state.ended,
            takeMinute: !state.ended,
        };
        for (const button of buttons)
            button.disabled = can[button.dataset.action] === false;
        if (armed && armed.button.disabled)
            disarm();
    }

    function enableButtons(on) {
        for (const button of buttons)
            button.disabled = !on;
        if (on && lastState)
            renderRemote(lastState);
    }

    // The token is good once: not sent again by a reload.
    function forgetToken() {
        history.replaceState(null, '', location.pathname + location.search);
    }

    // {"paired": true, "key": KEY} for the first page that sends the token;
    // {"paired": false} for any later one.
    function heardPairing(answer) {
        if (!pairing)
            return;
        pairing = false;
        forgetToken();
        if (answer.paired === true && typeof answer.key === 'string' && answer.key) {
            key = answer.key;
            storeKey(key);
            controlling = true;
            remote.dataset.control = 'on';
            enableButtons(true);
            note('Paired: this phone controls the clock.');
            return;
        }
        // A phone paired before keeps its own key.
        controlling = key !== '';
        enableButtons(controlling);
        note('This code was already used.');
        if (!controlling)
            setTimeout(watchOnly, NoteMs);
    }

    function watchOnly() {
        remote.hidden = true;
        document.body.classList.remove('remote');
    }

    // {"control": true} when a press was done; {"control": false, "status":
    // 403} when it was refused; {"control": false} alone when the director
    // stopped phone control.
    function heardControl(answer) {
        if (!controlling)
            return;
        if (answer.control === true) {
            pending.shift();
            return;
        }
        const refused = 'status' in answer ? pending.shift() : undefined;
        // The players' counts may say no (no one left to be out, or no one
        // keeping the counts); a refused press of the clock's is a key no
        // longer taken.
        if (refused && PlayerActions.has(refused.action)) {
            note('Not counted.');
            return;
        }
        controlling = false;
        key = '';
        storeKey('');
        pending = [];
        disarm();
        remote.dataset.control = 'off';
        enableButtons(false);
        remoteStatus.textContent = 'This phone no longer controls the clock.';
    }

    function send(press) {
        if (socket && socket.readyState === WebSocket.OPEN)
            socket.send(JSON.stringify({ action: press.action, key, id: press.id }));
    }

    function press(action) {
        if (!controlling)
            return;
        const sent = { action, id: pressId(), at: Date.now() };
        pending.push(sent);
        send(sent);
    }

    // On every connection, the first and each one after a loss.
    function remoteOpened() {
        if (pairing) {
            socket.send(JSON.stringify({ pair: token }));
            return;
        }
        const now = Date.now();
        pending = pending.filter((p) => now - p.at < RetryForMs);
        pending.forEach(send);
    }

    function disarm() {
        if (!armed)
            return;
        clearTimeout(armed.timer);
        armed.button.textContent = armed.text;
        armed.button.classList.remove('armed');
        armed = null;
    }

    // A level move is asked for twice: a slip of the finger must not take
    // the room to another level.
    function confirmation(action) {
        const level = lastState ? lastState.level : 0;
        if (action === 'next')
            return `Tap again for ${levels.roundName(level + 1)}`;
        if (action === 'previous')
            return `Tap again for ${levels.roundName(level - 1)}`;
        return `Tap again to restart ${levels.roundName(level)}`;
    }

    function tap(button) {
        const action = button.dataset.action;
        if (ConfirmFirst.has(action) && !(armed && armed.button === button)) {
            disarm();
            armed = { button, text: button.textContent, timer: setTimeout(disarm, ConfirmMs) };
            button.textContent = confirmation(action);
            button.classList.add('armed');
            return;
        }
        disarm();
        press(action);
    }

    if (pairing || controlling) {
        remote.hidden = false;
        document.body.classList.add('remote');
        for (const button of buttons)
            button.addEventListener('click', () => tap(button));
        if (pairing) {
            enableButtons(false);
            remoteStatus.textContent = 'Pairing with the clock\u2026';
        }
    }

    // Keeping the screen on: the Screen Wake Lock where the browser grants it
    // (most want HTTPS), else, after a tap, a muted video that never ends,
    // which keeps most phones awake.
    let lock = null;
    async function lockScreen() {
        if (!('wakeLock' in navigator))
            return false;
        try {
            lock = await navigator.wakeLock.request('screen');
            lock.addEventListener('release', () => { lock = null; });
            return true;
        } catch {
            return false;
        }
    }

    function playEndlessVideo() {
        const canvas = document.createElement('canvas');
        canvas.width = canvas.height = 2;
        if (!canvas.captureStream)
            return;
        const paint = canvas.getContext('2d');
        let frame = 0;
        // A stream that changes, so that the player never sees it stall.
        setInterval(() => {
            paint.fillStyle = frame++ % 2 ? '#000000' : '#010101';
            paint.fillRect(0, 0, 2, 2);
        }, 1000);
        const video = document.createElement('video');
        video.className = 'awake';
        video.muted = true;
        video.loop = true;
        video.playsInline = true;
        video.setAttribute('playsinline', '');
        video.srcObject = canvas.captureStream(1);
        document.body.append(video);
        video.play().catch(() => {});
    }

    awake.addEventListener('click', async () => {
        awake.hidden = true;
        if (!(await lockScreen()))
            playEndlessVideo();
    });
    document.addEventListener('visibilitychange', () => {
        // A lock ends when the page is hidden; take it again on return.
        if (document.visibilityState === 'visible' && awake.hidden && !lock)
            lockScreen();
    });
    lockScreen().then((locked) => { awake.hidden = locked; });

    // --- Every text in its place ---------------------------------------
    // Each label's text shrinks until it fits its box, as the clock window's
    // labels do, in the middle of the line it had; on an upright phone the
    // rows first share the height, so that the stack never runs off the
    // screen. Done again on every change of a text and of the screen's size.
    const upright = matchMedia('(orientation: portrait)');

    function fitText(element) {
        element.style.fontSize = element.style.lineHeight = '';
        const room = element.clientWidth;
        if (element.hidden || room === 0 || element.scrollWidth <= room)
            return;
        const style = getComputedStyle(element);
        element.style.lineHeight = style.lineHeight;
        let size = parseFloat(style.fontSize);
        // Glyphs do not scale exactly with the size: a few steps at most.
        for (let step = 0; step < 5 && element.scrollWidth > room; ++step) {
            size = Math.max(1, size * Math.min(0.98, room / element.scrollWidth));
            element.style.fontSize = `${size}px`;
        }
    }

    function fitFace() {
        face.style.removeProperty('--unit');
        if (upright.matches) {
            // The fonts' sizes are in hundredths of the width; the rows shown,
            // a line each, and the line between them share the height.
            const style = getComputedStyle(face);
            const height = face.clientHeight - parseFloat(style.paddingTop) - parseFloat(style.paddingBottom);
            let rows = 2;
            for (const element of controls.values()) {
                if (!element.hidden) {
                    const lines = element.textContent.split('\n').length;
                    rows += parseFloat(element.style.getPropertyValue('--size')) * 1.15 * lines;
                }
            }
            const unit = Math.min(face.clientWidth / 100, height / (rows * 1.1));
            face.style.setProperty('--unit', `${Math.max(unit, 0.5)}px`);
        }
        controls.forEach(fitText);
    }

    addEventListener('resize', () => {
        fitFace();
        levels.fit();
    });

    // --- The Levels view: the tournament's rounds -----------------------
    // Listed from /structure, the round now played marked and kept in view,
    // breaks shaded with their notes. It covers the face until closed; the
    // face goes on being kept up to date behind it.
    const levels = (() => {
        const opener = document.getElementById('levelsOpen');
        const view = document.getElementById('levels');
        const closer = document.getElementById('levelsClose');
        const title = document.getElementById('levelsTitle');
        const scroller = document.getElementById('levelsScroll');
        const table = document.getElementById('levelsTable');
        let rows = [];
        let names = []; // each round's "Level" cell: its number, or "Break"
        let current = 0; // the face's level: rows[current - 1] is being played
        let ended = false;
        let loading = null;

        function cell(tag, text, className) {
            const element = document.createElement(tag);
            element.textContent = text;
            if (className)
                element.className = className;
            return element;
        }

        function list(structure) {
            const rounds = Array.isArray(structure.rounds) ? structure.rounds : [];
            names = rounds.map((round) => String(round.level));
            const antes = structure.ante === 'ante' || structure.ante === 'bigBlind';
            title.textContent = structure.name || 'Levels';
            const head = document.createElement('tr');
            for (const [text, className] of [['Level', 'level'], ['Small', 'amount'], ['Big', 'amount'],
                ...(antes ? [[structure.ante === 'bigBlind' ? 'BB ante' : 'Ante', 'amount']] : []),
                ['Min.', 'number'], ['Starts', 'number']])
                head.append(cell('th', text, className));
            const body = document.createElement('tbody');
            rows = rounds.map((round) => {
                const row = document.createElement('tr');
                const isBreak = round.level === 'Break';
                row.classList.toggle('break', isBreak);
                row.append(cell('td', String(round.level), 'level'));
                if (isBreak) {
                    const note = cell('td', String(round.note || ''), 'note');
                    note.colSpan = antes ? 3 : 2;
                    row.append(note);
                } else {
                    row.append(cell('td', String(round.small), 'amount'), cell('td', String(round.big), 'amount'));
                    if (antes)
                        row.append(cell('td', String(round.ante), 'amount'));
                }
                row.append(cell('td', String(round.minutes), 'number'), cell('td', String(round.starts), 'number'));
                body.append(row);
                return row;
            });
            table.replaceChildren(cell('thead', ''), body);
            table.tHead.append(head);
            opener.hidden = rows.length === 0 || !view.hidden;
            mark();
            fit();
        }

        function load() {
            if (loading)
                return;
            loading = fetch('/structure', { cache: 'no-store' })
                .then((answer) => (answer.ok ? answer.json() : null))
                .then((structure) => { if (structure) list(structure); })
                .catch(() => {}) // kept as it was: the next connection asks again
                .finally(() => { loading = null; });
        }

        // The current round marked, the rounds before it dimmed.
        function mark() {
            rows.forEach((row, index) => {
                const now = !ended && index === current - 1;
                row.classList.toggle('current', now);
                row.classList.toggle('past', ended || index < current - 1);
                if (now)
                    row.setAttribute('aria-current', 'true');
                else
                    row.removeAttribute('aria-current');
            });
            scrollToCurrent();
        }

        function scrollToCurrent() {
            const row = rows[current - 1];
            if (view.hidden || !row)
                return;
            const box = scroller.getBoundingClientRect();
            const at = row.getBoundingClientRect();
            scroller.scrollTop += at.top - box.top - (scroller.clientHeight - at.height) / 2;
        }

        // The table shrinks until it is as wide as the screen; past a legible
        // size its long texts wrap instead.
        function fit() {
            if (view.hidden)
                return;
            table.style.fontSize = '';
            table.classList.remove('wrap');
            const room = scroller.clientWidth;
            let size = parseFloat(getComputedStyle(table).fontSize);
            for (let step = 0; step < 5 && table.offsetWidth > room; ++step) {
                size *= Math.min(0.98, room / table.offsetWidth);
                if (size < 10) {
                    table.classList.add('wrap');
                    size = 10;
                }
                table.style.fontSize = `${size}px`;
            }
        }

        function open(shown) {
            view.hidden = !shown;
            opener.hidden = shown || rows.length === 0;
            opener.setAttribute('aria-expanded', String(shown));
            if (shown) {
                fit();
                scrollToCurrent();
                closer.focus();
            } else {
                opener.focus();
            }
        }

        opener.addEventListener('click', () => open(true));
        closer.addEventListener('click', () => open(false));
        addEventListener('keydown', (event) => {
            if (event.key === 'Escape' && !view.hidden)
                open(false);
        });

        return {
            load,
            fit,
            // The round of the face's level `level` as the room calls it,
            // "level 6" or "the break"; as counted when the rounds are unknown.
            roundName(level) {
                const name = names[level - 1];
                if (name === 'Break')
                    return 'the break';
                return `level ${name !== undefined ? name : level}`;
            },
            follow(state) {
                const level = Number(state.level) || 0;
                if (level === current && Boolean(state.ended) === ended)
                    return;
                current = level;
                ended = Boolean(state.ended);
                mark();
            },
        };
    })();

    show('connecting');
    connect();
})();
